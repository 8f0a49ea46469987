#include "chat/chatsession.h"

#include "rules/wire.h"
#include "shell/captions.h"
#include "shell/controlnames.h"

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

ChatSession::ChatSession(MainView* view, const ServiceDirectory& directory, const SettingsStore& settings,
                         const LanguageTable& language, PlayTable& table, QObject* parent)
    : QObject(parent), view_(view), directory_(directory), settings_(settings), language_(language), table_(table)
{
}

ChatSession::~ChatSession() = default;

void ChatSession::JoinChatRoom(int room)
{
    if (room < 1 || room > 6)
        return;
    const ChatRoom& entry = directory_.Rooms[size_t(room)];
    if (entry.Port.size() < 4) {   // a room the directory did not open
        view_->beep();
        return;
    }
    LeaveChatRoom();
    view_->setText(Ctl::ChatLabel, entry.Name);
    port_ = entry.Port;
    address_ = entry.Address;
    if (address_.startsWith(QLatin1String("nc"))) {
        view_->messageBox(language_.text(1511));
        return;
    }
    if (!directory_.ChatAllowed) {
        view_->messageBox(language_.text(1512));
    } else {
        table_.DockChat(true);
        if (!open_) {
            view_->setText(Ctl::mtext, QString());
            view_->setItems(Ctl::mChat, {});
            view_->setItems(Ctl::ListBox1, {});
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
    table_.Refresh1Click();
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

void ChatSession::Send(const QByteArray& line)
{
    if (!connected())
        return;
    // A room that reads nothing while we keep writing has stopped answering.
    if (!link_->sendLine(line))
        OnChatTimeOut();
}

void ChatSession::SendTypedLines(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.last().isEmpty())   // the end of the last line is not a line of its own
        lines.removeLast();
    view_->setText(Ctl::mtext, QString());
    for (QString line : lines)
        SendQuickPhrase(line.remove(QLatin1Char('\r')));
}

void ChatSession::SendQuickPhrase(const QString& text)
{
    Send("B" + alias_ + ": " + text.toLatin1());
}

void ChatSession::QuickPhraseClick(const QString& button)
{
    SendQuickPhrase(HintOf(language_, button));
}

void ChatSession::RefreshMembers()
{
    view_->setItems(Ctl::ListBox1, {});
    members_ = 0;
    if (connected())
        Send("L");
}

void ChatSession::ClearChatLog()
{
    view_->setItems(Ctl::mChat, {});
}

void ChatSession::ToggleIgnore(const QString& member)
{
    const QByteArray name = member.trimmed().toLatin1();
    if (name.isEmpty())
        return;
    if (!view_->question(language_.text(1513))) {
        for (QByteArray& entry : ignore_)
            if (entry == name)
                entry.clear();
        return;
    }
    for (QByteArray& entry : ignore_) {
        if (entry.isEmpty()) {
            entry = name;
            view_->messageBox(L1(name) + QLatin1Char(' ') + language_.text(1514));
            return;
        }
    }
    view_->messageBox(language_.text(1516));
}

bool ChatSession::Ignored(const QByteArray& line) const
{
    const QByteArray head = line.mid(2, 25);   // the sender and the start of the text
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
    view_->appendLine(Ctl::ListBox1, PlainText(name));
}

void ChatSession::OnChatConnect(int errorCode)
{
    if (errorCode == LineSocket::TimedOut) {
        OnChatTimeOut();
        return;
    }
    if (errorCode != LineSocket::NoError) {
        view_->appendLine(Ctl::mChat, language_.text(1517));
        return;
    }
    const QString rule = L1(kRule);
    for (const QString& line : {language_.text(1500), rule, language_.text(1501), language_.text(1503),
                                language_.text(1504), language_.text(1505), language_.text(1506), rule,
                                language_.text(1507), language_.text(1508), rule})
        view_->appendLine(Ctl::mChat, line);
}

void ChatSession::OnChatLine(const QByteArray& line)
{
    // Lines that were already read when the chat closed are not shown.
    if (!open_ || line.size() < 2 || line.at(0) != 'S')
        return;
    const QByteArray name = line.mid(2, 25);
    switch (line.at(1)) {
    case '0':
        if (!Ignored(line))
            view_->appendLine(Ctl::mChat, PlainText(line.mid(2, 1024)));
        return;
    case '1':
        view_->setItems(Ctl::ListBox1, {});
        members_ = 0;
        Send("G" + alias_ + "%1" + settings_.values().UserName.toLatin1() + "%2");
        return;
    case 'A':
        AddMember(name);
        view_->appendLine(Ctl::mChat, PlainText(name) + QLatin1Char(' ') + language_.text(1509));
        return;
    case 'L':
        AddMember(name);
        return;
    case 'R':
        view_->appendLine(Ctl::mChat, PlainText(name) + QLatin1Char(' ') + language_.text(1510));
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

void ChatSession::CloseChat()
{
    if (link_)
        link_->close();
    table_.DockChat(false);
    open_ = false;
}

void ChatSession::OnChatDisconnect()
{
    if (open_)
        CloseChat();
}

void ChatSession::OnChatTimeOut()
{
    view_->messageBox(language_.text(1515));
    CloseChat();
}
