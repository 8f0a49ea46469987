#pragma once
// The chat: at most one room at a time, over a line link of its own to that room's
// server. Owns the link, the room the player is in, the alias used there and the
// ignore list; the panel beside the play area shows what the room sends.
#include "components/net/linesocket.h"
#include "session/playevents.h"
#include "shell/directory.h"
#include "shell/language.h"
#include "shell/settingsstore.h"
#include "views/views.h"

#include <QObject>
#include <QPointer>
#include <array>

class ChatSession : public QObject {
    Q_OBJECT
public:
    static constexpr int kReadBuffer = 2024;
    static constexpr int kWriteBuffer = 1024;
    static constexpr int kAliasLength = 15;
    static constexpr int kIgnoreSlots = 10;
    // A room that has not answered the connection by then has timed out.
    static constexpr int kConnectDeadlineSeconds = 20;
    // Entries of the member list; a room announcing more is not listed further.
    static constexpr int kMaxMembers = 500;

    ChatSession(ChatView* view, PlayerView* player, const ServiceDirectory& directory, const SettingsStore& settings,
                const LanguageTable& language, PlayEvents* events = nullptr, QObject* parent = nullptr);
    ~ChatSession() override;

    // The player's commands.
    void JoinChatRoom(int room);     // rooms 1..6 of the Chat Room menu
    void LeaveChatRoom();            // Quit
    void SendTypedLines(const QString& text);   // Enter in the input box, with the box's text
    void SendQuickPhrase(const QString& text);   // a quick-phrase button sends its hint
    void RefreshMembers();
    void ClearChatLog();
    void ToggleIgnore(const QString& member);   // a click on a name of the member list

    bool open() const { return open_; }
    bool connected() const { return link_ && link_->isConnected(); }
    const QByteArray& alias() const { return alias_; }

    // One line of the room, without its CR LF.
    void OnChatLine(const QByteArray& line);

private:
    void OnChatConnect(int errorCode);
    void OnChatDisconnect();
    void OnChatTimeOut();
    void CloseChat();
    void ReleaseLink();
    // False when the line could not be handed to the room (none open, or the room is not
    // reading what it has been sent).
    bool Send(const QByteArray& line);
    void NotSent();
    void AddMember(const QByteArray& name);
    bool Ignored(const QByteArray& line) const;
    // Whether a room line's text (past its sender) names the player's alias, from someone else.
    bool Mentions(const QByteArray& line) const;

    PlayEvents* events_;
    ChatView* view_;
    PlayerView* player_;
    const ServiceDirectory& directory_;
    const SettingsStore& settings_;
    const LanguageTable& language_;
    QPointer<LineSocket> link_;
    QString address_ = QStringLiteral("nc");
    QString port_;
    QByteArray alias_;
    std::array<QByteArray, kIgnoreSlots> ignore_{};
    int members_ = 0;
    bool open_ = false;
};
