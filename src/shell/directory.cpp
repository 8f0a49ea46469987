#include "shell/directory.h"

#include "rules/wire.h"

QByteArray DirectoryValue(const QByteArray& key, const QByteArray& reply, const QByteArray& terminator)
{
    return KeyedValue(reply, key, 1024, terminator);
}

void ServiceDirectory::parse(const QByteArray& reply)
{
    auto v = [&](const QByteArray& key) { return QString::fromLatin1(DirectoryValue(key, reply)); };
    Instruction = v("instruct:");
    InstructionMessage = v("instmsg:");
    GameServerHost = QString::fromLatin1(DirectoryValue("URL&http://", reply, "/%"));
    for (int n = 1; n <= 6; ++n) {
        const QByteArray k = QByteArray::number(n);
        Rooms[n].Address = v("chatip" + k + ":");
        Rooms[n].Port = v("chatport" + k + ":").left(255);
        Rooms[n].Name = v("chatname" + k + ":");
    }
    NewsUrl = v("newsurl:");
    Download = v("download:");
    DownFile = v("downfile:");
    DSaveAs = v("dsaveas:");
    DRunFile = v("drunfile:");
    const int ok = reply.indexOf("ChatOK:");
    ChatAllowed = ok >= 0 && ok + 7 < reply.size() && reply[ok + 7] == '0';
    ImageHost = v("imageurl:");
    WebBaseUrl = v("adminurl:");
    FilesHost = v("files:");
    LogoImage = v("logo:");
    AdSpace2Image = v("adspace2:");
    WinnersImage = v("winnergif:");
}
