#include "scriptedpeer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <utility>

ScriptedPeer::ScriptedPeer(QObject* parent) : QObject(parent)
{
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* s = server_.nextPendingConnection()) {
            ++connections;
            clients << s;
            auto buffer = std::make_shared<QByteArray>();
            connect(s, &QTcpSocket::readyRead, this, [this, s, buffer] {
                *buffer += s->readAll();
                int end;
                while ((end = buffer->indexOf("\r\n")) >= 0) {
                    const QByteArray line = buffer->left(end);
                    buffer->remove(0, end + 2);
                    received << line;
                    emit lineReceived(line);
                    if (!reply)
                        continue;
                    if (const QByteArray answer = reply(line); !answer.isEmpty() && s->write(answer + "\r\n") > 0)
                        s->flush();
                    if (closeAfterReply) {
                        s->disconnectFromHost();
                        return;
                    }
                }
            });
            connect(s, &QTcpSocket::disconnected, this, [this, s] {
                clients.removeAll(s);
                s->deleteLater();
            });
            emit clientConnected();
        }
    });
}

void ScriptedPeer::broadcast(const QByteArray& bytes)
{
    for (QTcpSocket* s : clients) {
        s->write(bytes);
        s->flush();
    }
}

void ScriptedPeer::dropClients()
{
    for (QTcpSocket* s : std::exchange(clients, {}))
        s->abort();
}

bool WaitFor(const std::function<bool()>& pred, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!pred()) {
        if (deadline.hasExpired())
            return pred();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

void Spin(int ms)
{
    WaitFor([] { return false; }, ms);
}
