// Any lines from a chat room, and any text the player types, against a chat session
// joined to a room on loopback: nothing may crash, and the session leaves and joins
// again as the input asks.
#include "fuzzsupport.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace {

// Answers the ignore question Yes and No by turns.
struct TurnsPlayer : nullviews::NullPlayer {
    bool yes = false;
    bool ask(const QString&) override { return yes = !yes; }
};

struct Room {
    NullViews views;
    TurnsPlayer player;
    QTcpServer server;
    ServiceDirectory directory;
    LanguageTable language;
    std::unique_ptr<GameCore> core;
    std::unique_ptr<ChatSession> chat;
};

Room& TheRoom()
{
    static Room* room = [] {
        auto* r = new Room;
        r->server.listen(QHostAddress::LocalHost, 0);
        // The room reads and forgets whatever the client sends.
        QObject::connect(&r->server, &QTcpServer::newConnection, &r->server, [r] {
            while (QTcpSocket* s = r->server.nextPendingConnection())
                QObject::connect(s, &QTcpSocket::readyRead, s, [s] { s->readAll(); });
        });
        r->directory.ChatAllowed = true;
        r->directory.Rooms[1] = ChatRoom{QStringLiteral("127.0.0.1"), QString::number(r->server.serverPort()),
                                         QStringLiteral("Fuzz Room")};
        r->core = FuzzCore();
        r->chat = std::make_unique<ChatSession>(&r->views.chat, &r->player, r->directory, r->core->settings(),
                                                r->language);
        return r;
    }();
    return *room;
}

}   // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    FuzzInitialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    Room& room = TheRoom();
    ChatSession& chat = *room.chat;
    if (!chat.open())
        chat.JoinChatRoom(1);
    for (int i = 0; i < 100000 && !chat.connected() && chat.open(); ++i)
        QCoreApplication::processEvents();
    const QByteArray input(reinterpret_cast<const char*>(data + 1), int(size - 1));
    int n = 0;
    for (const QByteArray& line : input.split('\n')) {
        chat.OnChatLine(line);
        if ((data[0] >> (n++ % 8)) & 1)
            chat.ToggleIgnore(QString::fromLatin1(line.mid(2, 25)));
    }
    chat.SendTypedLines(QString::fromLatin1(input));
    chat.RefreshMembers();
    if (data[0] & 0x80)
        chat.LeaveChatRoom();
    return 0;
}
