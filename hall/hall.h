#pragma once
// The demo hall: web service, game server and chat rooms on one address, run by the Qt
// event loop of whoever owns it (the bingo-hall program, or a test).
#include "gameserver.h"

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QStringList>

class WebService;
class HallChatRoom;

// The chat rooms' names, in room order; a hall has at most this many rooms.
inline constexpr const char* kRoomNames[] = {"Main Hall",    "Night Owls",   "Early Birds",
                                             "High Rollers", "Quiet Corner", "Lounge"};

struct HallConfig {
    QHostAddress address = QHostAddress::LocalHost;
    quint16 webPort = 48080;
    quint16 requestPort = 41000;
    quint16 salesPort = 49990;
    quint16 gamePort = 46000;
    QList<quint16> chatPorts = {47001, 47002, 47003};   // one room each, named by kRoomNames; 0 = any free port
    int chatKeepAliveMs = 30000;   // "SQ" period of the chat rooms
    int chatGreetingMs = 10000;    // a chat link that has not greeted by then is closed
    int chatFloodLines = 5;        // a chat member's lines within chatFloodMs; more are dropped
    int chatFloodMs = 5000;
    QString wwwDir;           // empty: "www" beside the executable
    QString accountsFile;     // extra accounts, optional
    QString dbPath;           // the hall's own file; empty: "hall.db" beside the www folder
    GameConfig game;
    bool forceUpdate = false;   // the directory tells every player to update first
};

class Hall : public QObject {
    Q_OBJECT
public:
    explicit Hall(const HallConfig& config, QObject* parent = nullptr);
    ~Hall() override;

    // Opens the hall's file and every port and starts the game clock. False with a message
    // when a port or the file cannot be opened, a chat port is one no client can use (1 to
    // 999) or the accounts file is unusable.
    bool start(QString* error);

    quint16 webPort() const;
    quint16 requestPort() const;
    quint16 salesPort() const;
    quint16 gamePort() const;
    QList<quint16> chatPorts() const;
    QString webHost() const;   // "address:port"
    QString readyLine() const;
    QString dbPath() const { return config_.dbPath; }

    GameServer* game() const { return game_; }
    WebService* web() const { return web_; }

private:
    HallConfig config_;
    GameServer* game_ = nullptr;
    WebService* web_ = nullptr;
    QList<HallChatRoom*> rooms_;
};
