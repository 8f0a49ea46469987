#include "cards/playtable.h"

#include "shell/texts.h"

namespace {

// A number as a reader says it: its letter, then the number ("G 46").
QString Spoken(int number) { return ColumnLetter(number) + QLatin1Char(' ') + QString::number(number); }

struct SkinRow { const char* frame; const char* background; Colour colour; const char* arrow; };
const SkinRow kSkins[PlayTable::kSkinCount] = {
    {"default", "logo", RGB(128, 0, 0), "maroonarrow"},       // logo
    {"planks", "planks", RGB(128, 0, 0), "maroonarrow"},      // Woody
    {"blue", "splash1", RGB(0, 128, 128), "tealarrow"},       // Blue
    {"green", "green6", RGB(255, 0, 0), "redarrow"},          // Green
    {"black", "black", RGB(0, 128, 128), "tealarrow"},        // Classic
    {"skish", "sidewalk", RGB(192, 192, 192), "silverarrow"}, // Neon
    {"blue", "stucco", RGB(0, 128, 128), "tealarrow"},        // Stucco
    {"Linnen", "Linnen", RGB(0, 0, 128), "navyarrow"},        // Linen
    {"Reflect", "Reflect", RGB(255, 0, 0), "redarrow"},       // Pinky
    {"wall", "wall", RGB(128, 128, 0), "olivearrow"},         // Walls
    {"water", "water", RGB(192, 192, 192), "Silverarrow"},    // Water
    {"bump2", "corn", RGB(0, 128, 0), "greenarrow"},          // Silly
    {"default", "logo", RGB(0, 128, 128), "tealarrow"},       // the start-up look
};

}   // namespace

void PlayTable::FormResize(const TableRoom& room)
{
    if (rack_.ready())
        rack_.showFirstCard();
    RoomChanged(room);
}

void PlayTable::RoomChanged(const TableRoom& room)
{
    room_ = room;
    if (!rack_.ready())
        return;
    LayoutMainWindow();
    ShowCardControls();
    Refresh1Click();
}

void PlayTable::LayoutMainWindow() { rack_.LayoutCards(round_.running(), room_); }

void PlayTable::Refresh1Click()
{
    rack_.RedrawCards();
    calls_->redrawBoard();
}

void PlayTable::ShowCardControls()
{
    HideBuyControls();
    if (rack_.bought())
        shop_->showClaim(true);
    const BingoCard& card = rack_.card(rack_.shownCard(rack_.currentCard()));
    if (round_.buyingOpen() && !card.Entered) {
        if (card.Loaded)
            shop_->showBuy(true);
        if (round_.selectionOpen())
            shop_->showFaceChoice(true);
    }
    table_->showCardId(card.ShortId());
}

void PlayTable::HideBuyControls()
{
    shop_->showBuy(false);
    shop_->showFaceChoice(false);
}

void PlayTable::iset1Click()
{
    if (links_.busy()) {
        player_->beep();
        return;
    }
    rack_.rewind();
    ShowCardControls();
}

void PlayTable::LeftCardClick() { Page(false); }
void PlayTable::RightCardClick() { Page(true); }

void PlayTable::Page(bool right)
{
    if (links_.busy()) {
        player_->beep();
        return;
    }
    sounds_.PlayFile(QStringLiteral("click.wav"));
    if (right)
        rack_.pageRight();
    else
        rack_.pageLeft();
    LayoutMainWindow();
    ShowCardControls();
}

void PlayTable::ClearTable()
{
    calls_->showBoard(false);
    rack_.showGrid(false);
    calls_->showLogo(true);
    shop_->enableClaim(true);
    rack_.ClearCards();
    rack_.ClearCalls();
    board_.ClearBoard();
    shop_->showClaimWon(false);
    calls_->clearBallNumber();
    Refresh1Click();
}

void PlayTable::SetAutoDaub(Colour colour)
{
    rack_.SetAutoDaub(true, colour);
    settings_.setAutoDaub(true);
    settings_.save();
}

void PlayTable::AutodauberClick()
{
    if (!settings_.autoDaub()) {
        SetAutoDaub(kAqua);
        return;
    }
    settings_.setAutoDaub(false);
    rack_.SetAutoDaub(false, kAqua);
    settings_.save();
}

void PlayTable::dpresentMouseDown()
{
    Colour chosen = 0;
    if (player_->chooseColour(rack_.daubColour(), &chosen))
        rack_.SetDaubColour(chosen);
}

void PlayTable::adpresentMouseDown()
{
    Colour chosen = 0;
    if (player_->chooseColour(rack_.autoDaubColour(), &chosen))
        SetAutoDaub(chosen);
}

void PlayTable::BingoMarker1Click()
{
    dauberCursor_ = true;
    table_->showDauberCursor(true);
}

void PlayTable::Shape6Click()
{
    dauberCursor_ = false;
    table_->showDauberCursor(false);
}

void PlayTable::Small1Click()
{
    table_->showLargeNumbers(false);
    Refresh1Click();
}

void PlayTable::Large1Click()
{
    table_->showLargeNumbers(true);
    Refresh1Click();
}

void PlayTable::Button4Click()
{
    shop_->enableClaim(false);
    if (rack_.CountWinningFaces(pattern_) >= 1) {
        status_->showStatus(language_.text(Text::StatusWinner));
        shop_->showClaimWon(true);
        status_->announce(language_.text(Text::StatusWinner));
        sounds_.PlayFile(QStringLiteral("yesbingo.wav"));
    } else {
        shop_->enableClaim(true);
        status_->announce(language_.text(Text::NotABingoYet));
        sounds_.PlayFile(QStringLiteral("nobingo.wav"));
    }
    rack_.RedrawCards();
}

void PlayTable::ClaimByKey()
{
    if (!round_.running() || rack_.winningFaces() >= 1 || !player_->ask(language_.text(Text::ClaimQuestion)))
        return;
    Button4Click();
    Button4MouseUp();
}

void PlayTable::AnnounceCall(char code, const QList<int>& oneToGo)
{
    const int number = static_cast<unsigned char>(code) - 50;
    QStringList parts;
    if (number >= 1 && number <= 75)
        parts << Spoken(number);
    for (int k : oneToGo)
        parts << CardName(k) + QStringLiteral(": 1 ") + language_.text(Text::ReaderToGo);
    if (!parts.isEmpty())
        status_->announce(parts.join(QStringLiteral(". ")));
}

QString PlayTable::CellReading(int card, int face, int column, int row) const
{
    if (card < 1 || card > CardRack::kCards || face < 1 || face > 4 || column < 0 || column > 4 || row < 0 || row > 4)
        return QString();
    const BingoCard& c = rack_.card(card);
    QString text;
    if (column == 2 && row == 2) {
        text = language_.text(Text::ReaderFree);
    } else {
        const int number = c.CellNumber(face, column, row);
        if (number < 1 || number > 75)
            return QString();
        text = Spoken(number);
        if (c.IsCalled(column, number - 15 * column))
            text += QStringLiteral(", ") + language_.text(Text::ReaderCalled);
    }
    if (c.CellColour[size_t(face)][size_t(column)][size_t(row)] != kWhite)
        text += QStringLiteral(", ") + language_.text(Text::ReaderDaubed);
    return text;
}

QString PlayTable::FaceReading(int card, int face) const
{
    const QString text = CardName(card) + QStringLiteral(", ") + language_.text(Text::ReaderFace) + QLatin1Char(' ')
                         + QString::number(face);
    const QString badge = toGoBadge(card);
    return badge.isEmpty() ? text : text + QStringLiteral(", ") + badge;
}

QString PlayTable::BoardReading(int number) const
{
    if (number < 1 || number > 75)
        return QString();
    const int row = (number - 1) / 15;
    const QString text = Spoken(number);
    return board_.isCalled(row, number - 15 * row) ? text + QStringLiteral(", ") + language_.text(Text::ReaderCalled)
                                                   : text;
}

QString PlayTable::CardName(int card) const
{
    return language_.text(Text::ReaderCard) + QLatin1Char(' ') + QString::number(card);
}

void PlayTable::Button4MouseUp()
{
    if (rack_.winningFaces() < 1)
        shop_->showClaimWon(false);
}

QString PlayTable::toGoBadge(int k) const
{
    const int left = rack_.toGo(k);
    if (!round_.running() || left < 0)
        return QString();
    return left == 0 ? language_.text(Text::ReaderBingo)
                     : QString::number(left) + QLatin1Char(' ') + language_.text(Text::ReaderToGo);
}

void PlayTable::ChooseSkin(int row)
{
    if (row < 0 || row >= kSkinCount)
        return;
    const SkinRow& s = kSkins[row];
    const QString frame = QStringLiteral("skins/") + QLatin1String(s.frame) + QStringLiteral(".bmp");
    const QString back = QStringLiteral("skins/") + QLatin1String(s.background) + QStringLiteral(".bmp");
    const QString arrow = QStringLiteral("skins/") + QLatin1String(s.arrow);
    const std::pair<Picture, QString> loads[] = {
        {Picture::SkinFrame, frame}, {Picture::SkinBackground, back},
        {Picture::LeftArrow, arrow + QStringLiteral("1.gif")}, {Picture::RightArrow, arrow + QStringLiteral("2.gif")},
    };
    // A file that cannot be read stops the change there; what was loaded keeps the new look.
    for (const auto& [place, file] : loads)
        if (!pictures_.LoadPicture(place, file))
            return;
    shop_->showButtonColour(s.colour);
}
