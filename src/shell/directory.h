#pragma once
// The service directory that the web login reply carries.
#include <QByteArray>
#include <QString>
#include <array>

// The value after the first occurrence of key up to the first terminator within the
// 1024 characters that follow; empty when either is missing.
QByteArray DirectoryValue(const QByteArray& key, const QByteArray& reply, const QByteArray& terminator = "%");

struct ChatRoom {
    QString Address = QStringLiteral("0");
    QString Port = QStringLiteral("0");
    QString Name;
};

struct ServiceDirectory {
    QString Instruction;
    QString InstructionMessage;
    QString GameServerHost;
    std::array<ChatRoom, 9> Rooms{};   // 1..8 used; the reply fills 1..6
    QString NewsUrl;
    QString Download;
    QString DownFile;
    QString DSaveAs;
    QString DRunFile;
    bool ChatAllowed = false;
    QString ImageHost;
    QString WebBaseUrl;
    QString FilesHost;
    QString LogoImage = QStringLiteral("logo.gif");
    QString AdSpace2Image = QStringLiteral("logo.gif");
    QString WinnersImage = QStringLiteral("winnerbox.gif");

    // Fills every field from a web login reply, in the reply's documented order.
    void parse(const QByteArray& reply);
};
