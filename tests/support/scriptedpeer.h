#pragma once
// A scripted game server for wire tests: listens on loopback (port 0), records every
// line a client sends, and answers from a script.
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>

class ScriptedPeer : public QObject {
    Q_OBJECT
public:
    explicit ScriptedPeer(QObject* parent = nullptr);
    quint16 port() const { return server_.serverPort(); }

    // For each received request line: the reply to send (empty: send nothing) and
    // whether to close afterwards.
    std::function<QByteArray(const QByteArray&)> reply;
    bool closeAfterReply = true;

    QList<QByteArray> received;          // lines received, in order (without CR LF)
    QList<QTcpSocket*> clients;          // connections still open
    int connections = 0;

    // Sends raw bytes to every open connection (feeds).
    void broadcast(const QByteArray& bytes);
    void sendLine(const QByteArray& line) { broadcast(line + "\r\n"); }
    void dropClients();
    void stop() { server_.close(); }

signals:
    void lineReceived(const QByteArray& line);
    void clientConnected();

private:
    QTcpServer server_;
};

// Turns the event loop until pred() holds or the timeout passes; returns pred().
bool WaitFor(const std::function<bool()>& pred, int timeoutMs = 5000);
// Turns the event loop for a while.
void Spin(int ms);
