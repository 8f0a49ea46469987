#include "hall.h"

#include "chatroom.h"
#include "hallstore.h"
#include "regulars.h"
#include "webservice.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <iterator>
#include <memory>

Hall::Hall(const HallConfig& config, QObject* parent) : QObject(parent), config_(config)
{
    if (config_.wwwDir.isEmpty())
        config_.wwwDir = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("www"));
    while (config_.chatPorts.size() > int(std::size(kRoomNames)))
        config_.chatPorts.removeLast();
    // Beside the www folder, or in the user's data folder when the hall is installed where
    // its user cannot write.
    if (config_.dbPath.isEmpty()) {
        const QString home = QFileInfo(config_.wwwDir).absolutePath();
        const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        config_.dbPath = QDir(QFileInfo(home).isWritable() || data.isEmpty() ? home : data)
                             .filePath(QStringLiteral("hall.db"));
    }
}

// The players hear "SX" before the rooms go.
Hall::~Hall()
{
    for (HallChatRoom* room : rooms_)
        room->close();
}

bool Hall::start(QString* error)
{
    if (game_)
        return true;
    // The client takes a chat port of four characters or more.
    for (int i = 0; i < config_.chatPorts.size(); ++i) {
        if (const quint16 port = config_.chatPorts[i]; port > 0 && port < 1000) {
            if (error)
                *error = QStringLiteral("chat port %1 of \"%2\": players' clients refuse a chat port below 1000; "
                                        "choose one from 1000 to 65535 (0 picks a free one)")
                             .arg(port)
                             .arg(QLatin1String(kRoomNames[i]));
            return false;
        }
    }
    AccountBook accounts = AccountBook::BuiltIn();
    if (!config_.accountsFile.isEmpty() && !accounts.loadFile(config_.accountsFile, error))
        return false;
    QDir().mkpath(QFileInfo(config_.dbPath).absolutePath());
    auto store = std::make_unique<HallStore>();
    if (!store->open(config_.dbPath, error) || !store->importAccounts(accounts.all(), error))
        return false;

    auto* game = new GameServer(config_.game, std::move(store), this);
    game->rememberPasswords(accounts.all());
    auto* web = new WebService(config_.wwwDir, this);
    QList<HallChatRoom*> rooms;
    for (int i = 0; i < config_.chatPorts.size(); ++i)
        rooms.append(new HallChatRoom(kRoomNames[i], this));

    bool ok = game->listen(config_.address, config_.requestPort, config_.salesPort, config_.gamePort, error)
        && web->listen(config_.address, config_.webPort, error);
    for (int i = 0; ok && i < rooms.size(); ++i)
        ok = rooms[i]->listen(config_.address, config_.chatPorts[i], error);
    if (!ok) {
        delete game;
        delete web;
        qDeleteAll(rooms);
        return false;
    }

    game_ = game;
    web_ = web;
    rooms_ = rooms;

    DirectoryInfo info;
    info.gameHost = config_.address.toString().toLatin1();
    info.webHost = webHost().toLatin1();
    info.forceUpdate = config_.forceUpdate;
    for (int i = 0; i < rooms_.size(); ++i) {
        HallChatRoom* room = rooms_[i];
        info.chatRooms.append({room->name(), room->port()});
        room->setKeepAlivePeriod(config_.chatKeepAliveMs);
        room->setGreetingDeadline(config_.chatGreetingMs);
        room->setFloodLimit(config_.chatFloodLines, config_.chatFloodMs);
        room->setAddressLimit(config_.game.ports.perAddress, config_.game.ports.exemptLoopback);
        room->setMemberCheck([game = game_](const QByteArray& user, const QHostAddress& peer) {
            return game->signedInAlias(user, peer);
        });
        auto* regulars = new HallRegulars(room, i, config_.game);
        connect(game_, &GameServer::phaseChanged, regulars, &HallRegulars::phaseChanged);
        connect(game_, &GameServer::gameStarted, regulars, [game = game_, regulars](const QByteArray& number) {
            if (const GameResult* result = game->result(number))
                regulars->gameStarted(*result);
        });
    }
    web_->setDirectoryInfo(info);
    game_->start();
    return true;
}

quint16 Hall::webPort() const { return web_ ? web_->port() : 0; }
quint16 Hall::requestPort() const { return game_ ? game_->requestPort() : 0; }
quint16 Hall::salesPort() const { return game_ ? game_->salesPort() : 0; }
quint16 Hall::gamePort() const { return game_ ? game_->gamePort() : 0; }

QList<quint16> Hall::chatPorts() const
{
    QList<quint16> ports;
    for (const HallChatRoom* room : rooms_)
        ports.append(room->port());
    return ports;
}

QString Hall::webHost() const
{
    return config_.address.toString() + QLatin1Char(':') + QString::number(webPort());
}

QString Hall::readyLine() const
{
    return QStringLiteral("bingo-hall ready web=%1 request=%2 sales=%3 game=%4")
        .arg(webHost())
        .arg(requestPort())
        .arg(salesPort())
        .arg(gamePort());
}
