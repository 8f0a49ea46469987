#pragma once
// A one-page HTTP server for tests: answers every request with the set status and
// body (or, for a path in routes, that path's), and records the requests it got.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QTcpServer>

class MiniHttp : public QObject {
    Q_OBJECT
public:
    explicit MiniHttp(QObject* parent = nullptr);
    QString host() const { return QStringLiteral("127.0.0.1:") + QString::number(server_.serverPort()); }
    int status = 200;
    QByteArray body;
    QHash<QByteArray, QPair<int, QByteArray>> routes;   // path ("/a/b") -> (status, body)
    QList<QByteArray> requests;   // whole requests (head and body)
private:
    QTcpServer server_;
};
