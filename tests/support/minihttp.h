#pragma once
// A one-page HTTP server for tests: answers every request with the set status and
// body, and records the requests it got.
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTcpServer>

class MiniHttp : public QObject {
    Q_OBJECT
public:
    explicit MiniHttp(QObject* parent = nullptr);
    QString host() const { return QStringLiteral("127.0.0.1:") + QString::number(server_.serverPort()); }
    int status = 200;
    QByteArray body;
    QList<QByteArray> requests;   // whole requests (head and body)
private:
    QTcpServer server_;
};
