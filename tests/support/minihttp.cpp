#include "minihttp.h"

#include <QTcpSocket>
#include <memory>

MiniHttp::MiniHttp(QObject* parent) : QObject(parent)
{
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* s = server_.nextPendingConnection()) {
            auto buffer = std::make_shared<QByteArray>();
            connect(s, &QTcpSocket::readyRead, this, [this, s, buffer] {
                *buffer += s->readAll();
                const int headEnd = buffer->indexOf("\r\n\r\n");
                if (headEnd < 0)
                    return;
                int length = 0;
                for (const QByteArray& line : buffer->left(headEnd).split('\n'))
                    if (line.toLower().startsWith("content-length:"))
                        length = line.mid(15).trimmed().toInt();
                if (buffer->size() < headEnd + 4 + length)
                    return;
                requests << *buffer;
                const QList<QByteArray> words = buffer->left(buffer->indexOf('\r')).split(' ');
                const auto [code, text] = routes.value(words.value(1), {status, body});
                const QByteArray reason = code == 200 ? "OK" : "Error";
                s->write("HTTP/1.1 " + QByteArray::number(code) + " " + reason
                         + "\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(text.size())
                         + "\r\nConnection: close\r\n\r\n" + text);
                s->flush();
                s->disconnectFromHost();
            });
            connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
        }
    });
}
