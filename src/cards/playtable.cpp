#include "cards/playtable.h"

#include "shell/controlnames.h"

#include <cmath>

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

void PlayTable::FormResize(const PlayArea& area)
{
    area_ = area;
    if (!rack_.ready())
        return;
    // Beside the chat panel the cards keep at least 100 pixels clear.
    if (area_.chatShown && area_.playWidth - 100 < area_.multiWidth) {
        area_.multiWidth = qMax(0, area_.playWidth - 100);
        view_->setGeometry(Ctl::MultiPanel, 0, 0, area_.multiWidth, area_.multiHeight);
    }
    rack_.showFirstCard();
    LayoutMainWindow();
    ShowCardControls();
    Refresh1Click();
}

void PlayTable::DockChat(bool shown)
{
    area_.chatShown = shown;
    area_.multiWidth = shown ? kChatDockWidth : area_.playWidth;
    if (shown)
        area_.listWidth = qMax(0, area_.playWidth - kChatDockWidth - kSplitterWidth);
    view_->setGeometry(Ctl::MultiPanel, 0, 0, area_.multiWidth, area_.multiHeight);
    view_->setVisible(Ctl::Splitter2, shown);
    view_->setVisible(Ctl::cpanel, shown);
    FormResize(area_);
}

void PlayTable::LayoutMainWindow()
{
    rack_.LayoutCards(round_.running(), area_);
    view_->setColumns(Ctl::ListBox1, int(std::lround(area_.listWidth / 80.0)));
}

void PlayTable::Refresh1Click()
{
    rack_.RedrawCards();
    view_->redrawBoard();
}

void PlayTable::ShowCardControls() { rack_.ShowCardControls(round_.buyingOpen(), round_.selectionOpen()); }

void PlayTable::iset1Click()
{
    if (links_.busy()) {
        view_->beep();
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
        view_->beep();
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
    for (const QString* c : {&Ctl::GridPanel1, &Ctl::board, &Ctl::recent, &Ctl::anigrid1, &Ctl::Panel11})
        view_->setVisible(*c, false);
    rack_.showGrid(false);
    view_->setVisible(Ctl::adspace1, true);
    view_->setEnabled(Ctl::button4, true);
    rack_.ClearCards();
    rack_.ClearCalls();
    board_.ClearBoard();
    view_->setText(Ctl::button4, QStringLiteral("Bingo!"));
    view_->setText(Ctl::Label5, QString());
    view_->setText(Ctl::Label8, QString());
    view_->repaint(Ctl::TForm1);
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
    if (view_->chooseColour(rack_.daubColour(), &chosen))
        rack_.SetDaubColour(chosen);
}

void PlayTable::adpresentMouseDown()
{
    Colour chosen = 0;
    if (view_->chooseColour(rack_.autoDaubColour(), &chosen))
        SetAutoDaub(chosen);
}

void PlayTable::BingoMarker1Click()
{
    dauberCursor_ = true;
    view_->setCardCursor(true);
}

void PlayTable::Shape6Click()
{
    dauberCursor_ = false;
    view_->setCardCursor(false);
}

void PlayTable::Small1Click()
{
    rack_.setNumberSizes(10, 0);
    board_.setTextSize(8);
    Refresh1Click();
}

void PlayTable::Large1Click()
{
    rack_.setNumberSizes(12, 7);
    board_.setTextSize(9);
    Refresh1Click();
}

void PlayTable::Button4Click()
{
    view_->setEnabled(Ctl::button4, false);
    if (rack_.CountWinningFaces(pattern_) >= 1) {
        view_->setText(Ctl::status, language_.text(1305));
        view_->setText(Ctl::button4, QStringLiteral("Winner!"));
        view_->announce(language_.text(1305));
        sounds_.PlayFile(QStringLiteral("yesbingo.wav"));
    } else {
        view_->setEnabled(Ctl::button4, true);
        view_->announce(language_.text(1804));
        sounds_.PlayFile(QStringLiteral("nobingo.wav"));
    }
    rack_.RedrawCards();
}

void PlayTable::ClaimByKey()
{
    if (!round_.running() || rack_.winningFaces() >= 1 || !view_->question(language_.text(1803)))
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
        parts << CardName(k) + QStringLiteral(": 1 ") + language_.text(1800);
    if (!parts.isEmpty())
        view_->announce(parts.join(QStringLiteral(". ")));
}

QString PlayTable::CellReading(int card, int face, int column, int row) const
{
    if (card < 1 || card > CardRack::kCards || face < 1 || face > 4 || column < 0 || column > 4 || row < 0 || row > 4)
        return QString();
    const BingoCard& c = rack_.card(card);
    QString text;
    if (column == 2 && row == 2) {
        text = language_.text(1807);
    } else {
        const int number = c.CellNumber(face, column, row);
        if (number < 1 || number > 75)
            return QString();
        text = Spoken(number);
        if (c.IsCalled(column, number - 15 * column))
            text += QStringLiteral(", ") + language_.text(1805);
    }
    if (c.CellColour[size_t(face)][size_t(column)][size_t(row)] != kWhite)
        text += QStringLiteral(", ") + language_.text(1806);
    return text;
}

QString PlayTable::FaceReading(int card, int face) const
{
    const QString text = CardName(card) + QStringLiteral(", ") + language_.text(1809) + QLatin1Char(' ')
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
    return board_.isCalled(row, number - 15 * row) ? text + QStringLiteral(", ") + language_.text(1805) : text;
}

QString PlayTable::CardName(int card) const
{
    return language_.text(1808) + QLatin1Char(' ') + QString::number(card);
}

void PlayTable::Button4MouseUp()
{
    if (rack_.winningFaces() < 1)
        view_->setText(Ctl::button4, QStringLiteral("Bingo!"));
}

QString PlayTable::toGoBadge(int k) const
{
    const int left = rack_.toGo(k);
    if (!round_.running() || left < 0)
        return QString();
    return left == 0 ? language_.text(1801) : QString::number(left) + QLatin1Char(' ') + language_.text(1800);
}

void PlayTable::ChooseSkin(int row)
{
    if (row < 0 || row >= kSkinCount)
        return;
    const SkinRow& s = kSkins[row];
    const QString frame = QStringLiteral("skins/") + QLatin1String(s.frame) + QStringLiteral(".bmp");
    const QString back = QStringLiteral("skins/") + QLatin1String(s.background) + QStringLiteral(".bmp");
    const QString arrow = QStringLiteral("skins/") + QLatin1String(s.arrow);
    const std::pair<const QString*, QString> loads[] = {
        {&Ctl::TopPanel, frame}, {&Ctl::SidePanel, frame}, {&Ctl::BottomPanel, frame},
        {&Ctl::GridBackground, back}, {&Ctl::GameBackground, back}, {&Ctl::BingoBackground, back},
        {&Ctl::LeftCard, arrow + QStringLiteral("1.gif")}, {&Ctl::RightCard, arrow + QStringLiteral("2.gif")},
    };
    // A file that cannot be read stops the change there; what was loaded keeps the new look.
    for (const auto& [control, file] : loads)
        if (!pictures_.LoadPicture(*control, file))
            return;
    buttonColour_ = s.colour;
    for (const QString* b : {&Ctl::button4, &Ctl::tbimage, &Ctl::s1image, &Ctl::s2image, &Ctl::s3image, &Ctl::s4image})
        view_->setFaceColour(*b, s.colour);
}
