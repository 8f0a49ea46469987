#include "chat/chatsession.h"

#include "rules/wire.h"
#include "shell/texts.h"

namespace {

const QByteArray kRule(48, '-');

// Room text shown as it is: control characters (which would break or reorder the
// log's lines) become blanks.
QString PlainText(const QByteArray& bytes)
{
    QString text = L1(bytes);
    for (QChar& c : text)
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() < 0xa0))
            c = QLatin1Char(' ');
    return text;
}

}   // namespace

ChatSession::ChatSession(ChatView* view, PlayerView* player, const ServiceDirectory& directory,
                         const SettingsStore& settings, const LanguageTable& language, PlayEvents* events,
                         QObject* parent)
    : QObject(parent), events_(events), view_(view), player_(player), directory_(directory), settings_(settings),
      language_(language)
{
}

ChatSession::~ChatSession() = default;

void ChatSession::JoinChatRoom(int room)
{
    if (room < 1 || room > 6)
        return;
    const ChatRoom& entry = directory_.Rooms[size_t(room)];
    if (entry.Port.size() < 4) {   // a room the directory did not open
        player_->beep();
        return;
    }
    LeaveChatRoom();
    view_->showRoomName(entry.Name);
    port_ = entry.Port;
    address_ = entry.Address;
    if (address_.startsWith(QLatin1String("nc"))) {
        player_->message(language_.text(Text::ChatRoomClosed));
        return;
    }
    if (!directory_.ChatAllowed) {
        player_->message(language_.text(Text::ChatNotAllowed));
    } else {
        view_->showChatPanel(true);
        if (!open_) {
            view_->clearInput();
            view_->clearChatLog();
            view_->clearMembers();
            members_ = 0;
            alias_ = settings_.values().Alias.left(kAliasLength).toLatin1();
            alias_.replace('\r', "").replace('\n', "");   // one line, whatever the alias holds
            link_ = new LineSocket(this);
            link_->setBufferSizes(kReadBuffer, kWriteBuffer);
            link_->setConnectTimeout(kConnectDeadlineSeconds);
            connect(link_, &LineSocket::connected, this, &ChatSession::OnChatConnect);
            connect(link_, &LineSocket::lineReceived, this, &ChatSession::OnChatLine);
            connect(link_, &LineSocket::disconnected, this, &ChatSession::OnChatDisconnect);
            open_ = true;
            bool ok = false;
            const quint16 port = port_.toUShort(&ok);
            if (ok && port != 0)
                link_->connectTo(address_, port);
            else
                OnChatConnect(LineSocket::OtherError);
        }
    }
}

void ChatSession::LeaveChatRoom()
{
    if (!open_)
        return;
    if (connected())
        Send("R" + alias_);
    CloseChat();
    ReleaseLink();
}

void ChatSession::ReleaseLink()
{
    if (!link_)
        return;
    link_->disconnect(this);
    link_->close();
    link_->deleteLater();   // it may be the sender of the signal being handled
    link_ = nullptr;
}

bool ChatSession::Send(const QByteArray& line)
{
    // The link refuses a line while more than its bound waits unsent: the room is not reading,
    // or the line is longer than the bound. Either way nothing is lost and the room stays open.
    return connected() && link_->sendLine(line);
}

void ChatSession::NotSent()
{
    if (connected())
        player_->message(QStringLiteral("The chat room is not taking what you send: what was not sent is "
                                        "still in the box."));
}

void ChatSession::SendTypedLines(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.last().isEmpty())   // the end of the last line is not a line of its own
        lines.removeLast();
    view_->clearInput();
    for (int i = 0; i < lines.size(); ++i) {
        if (!Send("B" + alias_ + ": " + lines[i].remove(QLatin1Char('\r')).toLatin1())) {
            view_->keepInput(lines.mid(i).join(QLatin1Char('\n')));
            NotSent();
            return;
        }
    }
}

void ChatSession::SendQuickPhrase(const QString& text)
{
    if (!Send("B" + alias_ + ": " + text.toLatin1()))
        NotSent();
}

void ChatSession::RefreshMembers()
{
    view_->clearMembers();
    members_ = 0;
    if (connected())
        Send("L");
}

void ChatSession::ClearChatLog()
{
    view_->clearChatLog();
}

void ChatSession::ToggleIgnore(const QString& member)
{
    const QByteArray name = member.trimmed().toLatin1();
    if (name.isEmpty())
        return;
    if (!player_->ask(language_.text(Text::IgnoreQuestion))) {
        for (QByteArray& entry : ignore_)
            if (entry == name)
                entry.clear();
        return;
    }
    for (QByteArray& entry : ignore_) {
        if (entry.isEmpty()) {
            entry = name;
            player_->message(L1(name) + QLatin1Char(' ') + language_.text(Text::NowIgnored));
            return;
        }
    }
    player_->message(language_.text(Text::IgnoreListFull));
}

bool ChatSession::Ignored(const QByteArray& line) const
{
    // The sender and the start of the text, in the form the member list shows names.
    const QByteArray head = PlainText(line.mid(2, 25)).toLatin1();
    for (const QByteArray& entry : ignore_)
        if (!entry.isEmpty() && head.contains(entry))
            return true;
    return false;
}

void ChatSession::AddMember(const QByteArray& name)
{
    if (members_ >= kMaxMembers)
        return;
    ++members_;
    view_->addMember(PlainText(name));
}

void ChatSession::OnChatConnect(int errorCode)
{
    if (errorCode == LineSocket::TimedOut) {
        OnChatTimeOut();
        return;
    }
    if (errorCode != LineSocket::NoError) {
        view_->addChatLine(language_.text(Text::ChatConnectFailed));
        return;
    }
    const QString rule = L1(kRule);
    for (const QString& line : {language_.text(Text::ChatWelcome), rule, language_.text(Text::ChatBeFriendly),
                                language_.text(Text::ChatHowToType), language_.text(Text::ChatQuickButtons),
                                language_.text(Text::ChatHowToIgnore), language_.text(Text::ChatHowToRefresh), rule,
                                language_.text(Text::ChatKeepPasswordSecret), language_.text(Text::ChatHaveFun), rule})
        view_->addChatLine(line);
}

void ChatSession::OnChatLine(const QByteArray& line)
{
    // Lines that were already read when the chat closed are not shown.
    if (!open_ || line.size() < 2 || line.at(0) != 'S')
        return;
    const QByteArray name = line.mid(2, 25);
    switch (line.at(1)) {
    case '0':
        if (Ignored(line))
            return;
        view_->addChatLine(PlainText(line.mid(2, 1024)));
        if (events_ && Mentions(line)) {
            const QString text = PlainText(line.mid(2, 1024));
            events_->tell([&](PlayListener& l) { l.mentioned(text); });
        }
        return;
    case '1':
        view_->clearMembers();
        members_ = 0;
        Send("G" + alias_ + "%1" + settings_.values().UserName.toLatin1() + "%2");
        return;
    case 'A':
        AddMember(name);
        view_->addChatLine(PlainText(name) + QLatin1Char(' ') + language_.text(Text::ChatPlayerJoined));
        return;
    case 'L':
        AddMember(name);
        return;
    case 'R':
        view_->addChatLine(PlainText(name) + QLatin1Char(' ') + language_.text(Text::ChatPlayerLeft));
        return;
    case 'Q':
        Send("Q" + alias_);
        return;
    case 'X':
        CloseChat();
        return;
    default:
        return;
    }
}

bool ChatSession::Mentions(const QByteArray& line) const
{
    const QByteArray alias = alias_.trimmed();
    if (alias.isEmpty() || line.mid(2, 25).trimmed().compare(alias, Qt::CaseInsensitive) == 0)
        return false;
    return line.mid(27).toLower().contains(alias.toLower());
}

void ChatSession::CloseChat()
{
    if (link_)
        link_->close();
    view_->showChatPanel(false);
    open_ = false;
}

void ChatSession::OnChatDisconnect()
{
    if (open_)
        CloseChat();
}

void ChatSession::OnChatTimeOut()
{
    player_->message(language_.text(Text::ChatTimedOut));
    CloseChat();
}
