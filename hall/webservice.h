#pragma once
// The hall's web service: the login script with the service directory, the three
// content-set catalogues and the static files of the www folder, over a minimal
// HTTP/1.1 server (one request per connection, Content-Length bodies, Connection: close).
#include "httprequest.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>

class QTcpServer;
class QTcpSocket;

struct HttpResponse {
    int status = 200;
    QByteArray contentType = "text/plain";
    QByteArray body;
};

struct ChatRoomEntry {
    QByteArray name;
    quint16 port = 0;
};

// What the service directory says about the hall.
struct DirectoryInfo {
    QByteArray gameHost;    // address of the game server, no port
    QByteArray webHost;     // host:port of this web service
    QList<ChatRoomEntry> chatRooms;
    bool forceUpdate = false;   // every player is told to update before playing
};

// The reply of the login script.
QByteArray BuildServiceDirectory(const DirectoryInfo& info);

// A catalogue ("cset", "bset" or "aset") of the installers found in `soundsDir`:
// sets numbered 1, 2, ... for as long as "<kind><k>.exe" exists. Titles and shout counts
// come from "sets.txt" beside the installers (lines "key number title qty"); a set missing
// there gets a plain title and, for fun-bingo sets, 3 shouts.
QByteArray BuildCatalogue(const QString& soundsDir, const QByteArray& kind);

// Checks a request path for a static file and resolves it inside `wwwDir` (one folder
// level at most, no "..", no hidden names, letter case ignored). Empty when refused or missing.
QString ResolveStaticFile(const QString& wwwDir, const QByteArray& path);

class WebService : public QObject {
    Q_OBJECT
public:
    WebService(const QString& wwwDir, QObject* parent = nullptr);

    bool listen(const QHostAddress& address, quint16 port, QString* error);
    quint16 port() const;
    void setDirectoryInfo(const DirectoryInfo& info) { info_ = info; }
    // Milliseconds a connection may stay without completing its request.

    HttpResponse respond(const HttpRequest& request) const;

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket* socket);
    void send(QTcpSocket* socket, const HttpResponse& response);

    QString wwwDir_;
    DirectoryInfo info_;
    QTcpServer* server_ = nullptr;
    int idleMs_ = 10000;
    int openConnections_ = 0;
};
