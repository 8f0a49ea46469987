#include "windows/captions.h"

#include "shell/texts.h"
#include "windows/viewhub.h"

#include <QStringList>

namespace {
struct IdControl { int id; const char* control; };
const IdControl captions[] = {
    {Text::MainWindowTitle, "TForm1"},
    {Text::DauberLabel, "Label1"},
    {Text::AutodauberLabel, "Label6"},
    {Text::ChooseCardsLabel, "s1text"},
    {Text::EnterCardLabel, "tbtext"},
    {Text::BuyButton, "tbimage"},
    {Text::ClaimButton, "button4"},
    {Text::RefreshPlayersButton, "Panel9"},
    {Text::ClearChatButton, "Panel4"},
    {Text::LolButton, "Panel17"},
    {Text::WtgButton, "Panel19"},
    {Text::GlButton, "Panel20"},
    {Text::IWonButton, "Panel22"},
    {Text::HelloButton, "Panel23"},
    {Text::TyButton, "Panel24"},
    {Text::ByeButton, "Panel25"},
    {Text::BingoPhraseButton, "Panel21"},
    {Text::LeaveChatButton, "ChatQuit"},
    {Text::PlayersLabel, "pllls"},
    {Text::TimeLabel, "calllabel"},
    {Text::JackpotLabel, "label4"},
    {Text::BalanceLabel, "Label7"},
    {Text::StatusCaption, "status"},
    {Text::ConnectMenu, "Connect1"},
    {Text::DauberMenu, "MarkerColor1"},
    {Text::FontsMenu, "Fonts1"},
    {Text::SoundsMenu, "Sound1"},
    {Text::ChatRoomMenu, "CHATROOM1"},
    {Text::SkinsMenu, "Skins1"},
    {Text::HelpMenu, "About1"},
    {Text::ConnectToGameItem, "ConnecttoGame1"},
    {Text::QuitItem, "Quit1"},
    {Text::AutodauberItem, "Autodauber"},
    {Text::StandardPointerItem, "Shape6"},
    {Text::BingoMarkerItem, "BingoMarker1"},
    {Text::SmallNumbersItem, "Small1"},
    {Text::LargeNumbersItem, "Large1"},
    {Text::SoundOnItem, "TurnSoundON1"},
    {Text::SoundOffItem, "OFF1"},
    {Text::SetCallerItem, "GetNewSounds1"},
    {Text::FunBingosItem, "GetFunBingos1"},
    {Text::SetAnnouncerItem, "Get1"},
    {Text::SkinLogoItem, "logo1"},
    {Text::SkinSillyItem, "si1"},
    {Text::SkinWoodyItem, "Woody1"},
    {Text::SkinBlueItem, "Blue1"},
    {Text::SkinGreenItem, "Green1"},
    {Text::SkinClassicItem, "Classic1"},
    {Text::SkinNeonItem, "Neon1"},
    {Text::SkinStuccoItem, "Stucco1"},
    {Text::SkinLinenItem, "Linen1"},
    {Text::SkinPinkyItem, "Pinky1"},
    {Text::SkinWallsItem, "Walls1"},
    {Text::SkinWaterItem, "Water1"},
    {Text::PopUpNewsItem, "PopUpNews1"},
    {Text::LastWinnersItem, "ShowLastGamesWinners1"},
    {Text::OnlineHelpItem, "OnlineHelp1"},
    {Text::OnlineNewsItem, "NewoftheDay1"},
    {Text::UpdateProgramItem, "UPDATE1"},
    {Text::UpdateAllFilesItem, "UpdateAllFiles1"},
    {Text::TroubleTicketItem, "OpenaTroubleTicket1"},
    {Text::AboutItem, "About2"},
    {Text::NextPatternLabel, "Label3"},
    {Text::SelectTicketLabel, "Label2"},
    {Text::BestCardFirstItem, "BestCardFirst1"},
    {Text::KeyboardKeysItem, "KeyboardKeys1"},
};
const IdControl hints[] = {
    {Text::DauberColourHint, "dpresent"},   {Text::AutodauberColourHint, "adpresent"},
    {Text::RefreshPlayersHint, "Panel9"},   {Text::ClearChatHint, "Panel4"},
    {Text::ChatLineHint, "mtext"},          {Text::PhraseLaughOutLoud, "Panel17"},
    {Text::PhraseWayToGo, "Panel19"},       {Text::PhraseGoodLuck, "Panel20"},
    {Text::PhraseThankYou, "Panel24"},      {Text::PhraseGoodBye, "Panel25"},
    {Text::LeaveChatHint, "ChatQuit"},      {Text::PhraseIWon, "Panel22"},
    {Text::PreviousCardHint, "LeftCard"},   {Text::NextCardHint, "RightCard"},
    {Text::GamePatternHint, "anigrid1"},    {Text::NextPatternHint, "anigrid2"},
    {Text::PhraseHelloEveryone, "Panel23"},
};

// What a screen reader says each control is and what it is for: a name and a description
// (0: the control's caption or hint serves).
struct Reading { const char* control; int name; int description; };
const Reading readings[] = {
    {"board", Text::CalledNumbersName, Text::CalledNumbersDescription},
    {"Label8", Text::CurrentCallName, Text::CurrentCallDescription},
    {"recent", Text::RecentCallsName, Text::RecentCallsDescription},
    {"button4", 0, Text::ClaimButtonDescription},
    {"tbimage", 0, Text::BuyButtonDescription},
    {"s1image", 0, Text::OneFaceDescription},
    {"s2image", 0, Text::TwoFacesDescription},
    {"s3image", 0, Text::ThreeFacesDescription},
    {"s4image", 0, Text::FourFacesDescription},
    {"CardLabel", Text::CardShownName, Text::CardShownDescription},
    {"LeftCard", Text::PreviousCardHint, Text::CardShownDescription},
    {"RightCard", Text::NextCardHint, Text::CardShownDescription},
    {"cardid1", Text::CardIdName, Text::CardIdDescription},
    {"dpresent", Text::DauberColourName, Text::DauberColourHint},
    {"adpresent", Text::AutodauberColourName, Text::AutodauberColourHint},
    {"lplayers", Text::PlayersName, Text::PlayersDescription},
    {"Jackpot", Text::JackpotName, Text::JackpotDescription},
    {"CallField", Text::TimeFieldName, Text::TimeFieldDescription},
    {"f_credits", Text::BalanceName, Text::BalanceDescription},
    {"status", Text::StatusLineName, Text::StatusLineDescription},
    {"ProgressBar1", Text::ConnectionName, Text::ConnectionDescription},
    {"Label9", Text::PlayerAliasName, Text::PlayerAliasDescription},
    {"adspace1", Text::LogoName, Text::LogoDescription},
    {"AdSpace2", Text::AdvertName, Text::AdvertDescription},
    {"anigrid1", Text::PatternPanelName, Text::GamePatternHint},
    {"anigrid2", Text::PatternPanelName, Text::NextPatternHint},
    {"mChat", Text::ChatRoomName, Text::ChatRoomDescription},
    {"mtext", Text::ChatLineName, Text::ChatLineDescription},
    {"ListBox1", Text::ChatMembersName, Text::ChatMembersDescription},
    {"announcer", Text::AnnouncementsName, Text::AnnouncementsDescription},
    {"Memo1", Text::LogName, Text::LogDescription},
};

// The other windows take their texts from their own ranges.
const IdControl windows[] = {
    {Text::LoginTitle, "Tlogindialog"},
    {Text::LoginRemember, "Tlogindialog.Label4"},
    {Text::LoginPrompt, "Tlogindialog.Label3"},
    {Text::LoginPlayerId, "Tlogindialog.Label1"},
    {Text::LoginPassword, "Tlogindialog.Label2"},
    {Text::LoginConnect, "Tlogindialog.Button1"},
    {Text::LoginCancel, "Tlogindialog.Button2"},
    {Text::AliasTitle, "TAliasConfirm"},
    {Text::AliasCurrent, "TAliasConfirm.Label1"},
    {Text::AliasOwnName, "TAliasConfirm.Label3"},
    {Text::AliasChange, "TAliasConfirm.OKBtn"},
    {Text::AliasKeep, "TAliasConfirm.CancelBtn"},
    {Text::AnnouncerTitle, "Tgetaset"},
    {Text::AnnouncerPrompt, "Tgetaset.Label1"},
    {Text::AnnouncerHowTo, "Tgetaset.Label2"},
    {Text::AnnouncerClose, "Tgetaset.Button1"},
    {Text::FunBingosTitle, "Tgetbings"},
    {Text::FunBingosPrompt, "Tgetbings.Label1"},
    {Text::FunBingosHowTo, "Tgetbings.Label2"},
    {Text::FunBingosClose, "Tgetbings.Button1"},
    {Text::CallerTitle, "Tgetcset"},
    {Text::CallerPrompt, "Tgetcset.Label1"},
    {Text::CallerHowTo, "Tgetcset.Label2"},
    {Text::CallerClose, "Tgetcset.Button1"},
    {Text::DownloadWait, "Tgifdownload.Label1"},
    {Text::NewsTitle, "TForm2"},
    {Text::WinnersTitle, "Twinners"},
    {Text::GoodbyeTitle, "Tmarketdialog"},
    {Text::GoodbyeThanks, "Tmarketdialog.ThankT"},
    {Text::GoodbyeNoCredits, "Tmarketdialog.Label1"},
    {Text::GoodbyeHelp, "Tmarketdialog.Label2"},
    {Text::GoodbyeSeeYou, "Tmarketdialog.Label3"},
    {Text::AlertTitle, "TForm3"},
    {Text::AlertTrouble, "TForm3.Label1"},
    {Text::AlertCheckConnection, "TForm3.Label2"},
    {Text::AlertProblem, "TForm3.Label3"},
    {Text::AlertDisconnected, "TForm3.Label4"},
    {Text::AlertCauses, "TForm3.Label5"},
    {Text::AlertRouting, "TForm3.Label6"},
    {Text::AlertServerFailure, "TForm3.Label7"},
    {Text::AlertWhatToDo, "TForm3.Label8"},
    {Text::AlertKeepTrying, "TForm3.Label9"},
    {Text::AlertOk, "TForm3.Button1"},
};
}   // namespace

void ShowCaptions(const LanguageTable& language, ViewHub* view)
{
    for (const auto& c : captions)
        view->setText(QLatin1String(c.control), language.text(c.id));
    for (const auto& h : hints)
        view->setHint(QLatin1String(h.control), language.text(h.id));
    view->setHint(QStringLiteral("Panel21"), HintOf(language, QStringLiteral("Panel21")));
    for (const auto& w : windows)
        view->setText(QLatin1String(w.control), language.text(w.id));
    for (const auto& r : readings)
        view->describe(QLatin1String(r.control), r.name ? language.text(r.name) : QString(),
                       language.text(r.description));
}

QString HintOf(const LanguageTable& language, const QString& control)
{
    if (control == QLatin1String("Panel21"))
        return QStringLiteral("BINGO!!!");
    for (const auto& h : hints)
        if (control == QLatin1String(h.control))
            return language.text(h.id);
    return {};
}

QStringList CaptionedControls()
{
    QStringList names{QStringLiteral("Panel21")};
    for (const auto& c : captions)
        names << QLatin1String(c.control);
    for (const auto& h : hints)
        names << QLatin1String(h.control);
    for (const auto& w : windows)
        names << QLatin1String(w.control);
    for (const auto& r : readings)
        names << QLatin1String(r.control);
    return names;
}
