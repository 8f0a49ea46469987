#include "webservice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

namespace {

// Connections served at once; the rest wait in the backlog (sign-ins come in a burst at the
// end of every game) rather than being accepted and closed.
constexpr int kMaxConnections = 256;
constexpr int kBacklog = 4096;
constexpr qint64 kMaxStaticFile = 64 * 1024 * 1024;
constexpr int kMaxSets = 20;

QByteArray StatusText(int status)
{
    switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 411: return "Length Required";
    case 413: return "Payload Too Large";
    case 501: return "Not Implemented";
    default: return "Error";
    }
}

HttpResponse Plain(int status, const QByteArray& body)
{
    return HttpResponse{status, "text/plain", body};
}

QByteArray ContentTypeFor(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("gif")) return "image/gif";
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) return "image/jpeg";
    if (suffix == QLatin1String("bmp")) return "image/bmp";
    if (suffix == QLatin1String("wav")) return "audio/wav";
    if (suffix == QLatin1String("rtf")) return "application/rtf";
    if (suffix == QLatin1String("htm") || suffix == QLatin1String("html")) return "text/html";
    if (suffix == QLatin1String("txt")) return "text/plain";
    return "application/octet-stream";
}

// Entry of `dir` whose name equals `name` ignoring letter case (exact match first).
QString FindEntry(const QDir& dir, const QString& name, QDir::Filters filters)
{
    if (QFileInfo::exists(dir.filePath(name))) {
        const QFileInfo info(dir.filePath(name));
        if ((filters & QDir::Files) ? info.isFile() : info.isDir())
            return dir.filePath(name);
    }
    const QStringList entries = dir.entryList(filters | QDir::NoDotAndDotDot);
    for (const QString& entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    return {};
}

bool SafeSegment(const QString& segment)
{
    if (segment.isEmpty() || segment.size() > 128 || segment.startsWith(QLatin1Char('.')))
        return false;
    for (QChar ch : segment)
        if (ch == QLatin1Char('/') || ch == QLatin1Char('\\') || ch == QLatin1Char(':') || ch.unicode() < 32)
            return false;
    return !segment.contains(QLatin1String(".."));
}

struct SetInfo {
    QByteArray title;
    int quantity = 3;
};

// The set list that the asset script writes beside the installers: one line per set,
// "key number title qty" (the title may hold blanks).
QHash<QByteArray, SetInfo> ReadSetList(const QDir& sounds)
{
    QHash<QByteArray, SetInfo> sets;
    const QString path = FindEntry(sounds, QStringLiteral("sets.txt"), QDir::Files);
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return sets;
    const QList<QByteArray> lines = file.read(64 * 1024).split('\n');
    for (const QByteArray& line : lines) {
        const QList<QByteArray> words = line.simplified().split(' ');
        if (words.size() < 4)
            continue;
        bool numberOk = false;
        bool quantityOk = false;
        const int number = words[1].toInt(&numberOk);
        const int quantity = words.last().toInt(&quantityOk);
        if (!numberOk || !quantityOk || number < 1 || number > kMaxSets || quantity < 1 || quantity > 999)
            continue;
        QByteArray title = words.mid(2, words.size() - 3).join(' ').left(60);
        title.replace('%', ' ');
        sets.insert(words[0] + QByteArray::number(number), SetInfo{title, quantity});
    }
    return sets;
}

}  // namespace

QByteArray BuildServiceDirectory(const DirectoryInfo& info)
{
    const QByteArray web = info.webHost;
    QByteArray reply;
    reply += info.forceUpdate ? "instruct:UPGRADE%instmsg:A new version of Vexo Bingo is ready. Update now?%"
                              : "instruct:OK%instmsg:%";
    reply += "URL&http://" + info.gameHost + "/%";
    for (int i = 0; i < info.chatRooms.size(); ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        reply += "chatip" + n + ":" + info.gameHost + "%";
        reply += "chatport" + n + ":" + QByteArray::number(info.chatRooms[i].port) + "%";
        reply += "chatname" + n + ":" + info.chatRooms[i].name + "%";
    }
    reply += "ChatOK:0%";
    reply += "newsurl:http://" + web + "/news/news.rtf%";
    // Program updates lie in www/update; the forced update fetches the client program's package.
    reply += "download:http://" + web + "/update/%";
    reply += "downfile:qzwin32.exe%";
    reply += "dsaveas:vexotmp.exe%";
    reply += "drunfile:vexotmp.exe%";
    reply += "imageurl:" + web + "%";
    reply += "adminurl:http://" + web + "/%";
    reply += "files:" + web + "%";
    reply += "logo:logo.gif%";
    reply += "adspace2:logo.gif%";
    reply += "winnergif:winnerbox.gif%";
    return reply;
}

QByteArray BuildCatalogue(const QString& soundsDir, const QByteArray& kind)
{
    const QDir sounds(soundsDir);
    QByteArray entries;
    int count = 0;
    const QByteArray defaultTitle = kind == "cset" ? "Caller " : kind == "bset" ? "Fun Bingo Set " : "Announcer ";
    const QHash<QByteArray, SetInfo> listed = ReadSetList(sounds);
    for (int k = 1; k <= kMaxSets; ++k) {
        const QString name = QString::fromLatin1(kind) + QString::number(k);
        if (FindEntry(sounds, name + QStringLiteral(".exe"), QDir::Files).isEmpty())
            break;
        const QByteArray key = kind + QByteArray::number(k);
        const SetInfo info = listed.value(key, SetInfo{defaultTitle + QByteArray::number(k), 3});
        entries += key + ":" + info.title + "%";
        if (kind == "bset")
            entries += key + "qty:" + QByteArray::number(info.quantity) + "%";
        count = k;
    }
    return "count:" + QByteArray::number(count) + "%" + entries;
}

QString ResolveStaticFile(const QString& wwwDir, const QByteArray& path)
{
    if (!path.startsWith('/') || path.contains('\\') || path.contains('\0'))
        return {};
    const QString decoded = QUrl::fromPercentEncoding(path.mid(1));
    const QStringList segments = decoded.split(QLatin1Char('/'));
    if (segments.size() > 2)
        return {};
    for (const QString& segment : segments)
        if (!SafeSegment(segment))
            return {};
    QDir dir(wwwDir);
    if (segments.size() == 2) {
        const QString folder = FindEntry(dir, segments[0], QDir::Dirs);
        if (folder.isEmpty())
            return {};
        dir = QDir(folder);
    }
    return FindEntry(dir, segments.last(), QDir::Files);
}

WebService::WebService(const QString& wwwDir, QObject* parent)
    : QObject(parent), wwwDir_(wwwDir), server_(new QTcpServer(this))
{
    connect(server_, &QTcpServer::newConnection, this, &WebService::onNewConnection);
}

bool WebService::listen(const QHostAddress& address, quint16 port, QString* error)
{
    server_->setListenBacklogSize(kBacklog);
    if (server_->listen(address, port))
        return true;
    if (error)
        *error = QStringLiteral("web port %1: %2").arg(port).arg(server_->errorString());
    return false;
}

quint16 WebService::port() const
{
    return server_->serverPort();
}

HttpResponse WebService::respond(const HttpRequest& request) const
{
    const QByteArray lowerPath = request.path.toLower();
    if (lowerPath == "/vexobingo/vxplay466.asp") {
        if (request.method != "POST" && request.method != "GET")
            return Plain(405, "Method not allowed\n");
        return Plain(200, BuildServiceDirectory(info_));
    }
    if (request.method != "GET")
        return Plain(405, "Method not allowed\n");
    const QString sounds = QDir(wwwDir_).filePath(QStringLiteral("sounds"));
    if (lowerPath == "/vexobingo/clist.asp")
        return Plain(200, BuildCatalogue(sounds, "cset"));
    if (lowerPath == "/vexobingo/blist.asp")
        return Plain(200, BuildCatalogue(sounds, "bset"));
    if (lowerPath == "/vexobingo/alist.asp")
        return Plain(200, BuildCatalogue(sounds, "aset"));

    QByteArray path = request.path;
    if (path == "/")
        path = "/index.htm";
    const QString file = ResolveStaticFile(wwwDir_, path);
    if (file.isEmpty())
        return Plain(404, "Not found\n");
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly) || input.size() > kMaxStaticFile)
        return Plain(404, "Not found\n");
    return HttpResponse{200, ContentTypeFor(file), input.readAll()};
}

void WebService::onNewConnection()
{
    while (openConnections_ < kMaxConnections) {
        QTcpSocket* socket = server_->nextPendingConnection();
        if (!socket)
            return;
        ++openConnections_;
        socket->setProperty("hallBuffer", QByteArray());
        auto* idle = new QTimer(socket);
        idle->setSingleShot(true);
        connect(idle, &QTimer::timeout, socket, [this, socket] {
            if (!socket->property("hallAnswered").toBool())
                send(socket, Plain(408, "Request timeout\n"));
            else
                socket->abort();
        });
        idle->start(idleMs_);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QObject::destroyed, this, [this] {
            if (--openConnections_ == kMaxConnections - 1) {
                server_->resumeAccepting();
                onNewConnection();   // those accepted while we were full
            }
        });
    }
    server_->pauseAccepting();
}

void WebService::onReadyRead(QTcpSocket* socket)
{
    if (socket->property("hallAnswered").toBool()) {
        socket->readAll();   // the request has been answered; the rest is dropped
        return;
    }
    QByteArray buffer = socket->property("hallBuffer").toByteArray();
    buffer += socket->read(kMaxHttpRequest + 1 - buffer.size());
    socket->setProperty("hallBuffer", buffer);
    const HttpRequest request = ParseHttpRequest(buffer);
    switch (request.status) {
    case HttpRequest::Status::Incomplete:
        return;
    case HttpRequest::Status::Bad:
        send(socket, Plain(400, "Bad request\n"));
        return;
    case HttpRequest::Status::TooLarge:
        send(socket, Plain(413, "Request too large\n"));
        return;
    case HttpRequest::Status::Unsupported:
        send(socket, Plain(411, "Send a Content-Length body\n"));
        return;
    case HttpRequest::Status::Complete:
        send(socket, respond(request));
        return;
    }
}

void WebService::send(QTcpSocket* socket, const HttpResponse& response)
{
    socket->setProperty("hallAnswered", true);
    socket->setProperty("hallBuffer", QByteArray());
    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + " " + StatusText(response.status) + "\r\n";
    head += "Content-Type: " + response.contentType + "\r\n";
    head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    head += "Connection: close\r\n\r\n";
    socket->write(head);
    socket->write(response.body);
    socket->disconnectFromHost();
    // A peer that never reads its answer is cut off after one more idle period.
    if (auto* idle = socket->findChild<QTimer*>())
        idle->start(idleMs_);
}
