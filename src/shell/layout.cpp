// Card arrangement, skins and the pictures of the main window.
#include "session/gamecore.h"

#include <cmath>

namespace {

struct SkinRow { const char* frame; const char* background; Colour colour; const char* arrow; };
// Button colours as red, green, blue.
const SkinRow kSkins[] = {
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
}

void GameCore::LayoutMainWindow()
{
    const int cw = Cards[1].CellWidth;
    const int ch = Cards[1].CellHeight;
    const int k = CurrentCard;
    const int n = CardsInUse;
    const int pitch = (5 * cw + 10) * 2;
    const int columns[3] = {5, pitch, 2 * pitch - 3};
    const int rows[2] = {25, (5 * ch + 5) * 2 + 42};

    if (GameRunning == 0) {
        if (View->isVisible(QStringLiteral("GridPanel1"))) {
            View->moveControl(CardControl(k), 5, 25);
            View->setVisible(CardControl(k), true);
        }
    } else {
        View->setGeometry(QStringLiteral("GridPanel1"), 0, 0, (5 * cw + 10) * 6, View->controlHeight(QStringLiteral("GridPanel1")));
        View->setVisible(QStringLiteral("GridPanel1"), true);
        View->moveControl(CardControl(k), 5, View->controlTop(CardControl(k)));
        View->setVisible(CardControl(k), true);
        const int multiWidth = View->controlWidth(QStringLiteral("MultiPanel"));
        const bool secondRow = View->controlHeight(QStringLiteral("PlayPanel")) > (5 * ch + 5) * 3 + 42;
        const bool secondColumn = multiWidth > (5 * cw + 10) * 3;
        const bool thirdColumn = multiWidth > (5 * cw + 10) * 5;
        if (k >= 6) {
            View->beep();
        } else {
            const int fits = 1 + (secondColumn ? 1 : 0) + (thirdColumn ? 1 : 0);
            int i = k;
            for (int c = 1; c < fits; ++c) {
                ++i;
                if (i <= n) {
                    View->moveControl(CardControl(i), columns[c], rows[0]);
                    View->setVisible(CardControl(i), true);
                }
            }
            if (secondRow)
                for (int c = 0; c < fits; ++c) {
                    ++i;
                    if (i <= n) {
                        View->moveControl(CardControl(i), columns[c], rows[1]);
                        View->setVisible(CardControl(i), true);
                    }
                }
            for (int j = i + 1; j <= n; ++j)
                View->setVisible(CardControl(j), false);
        }
    }
    View->setColumns(QStringLiteral("ListBox1"), int(std::lround(View->controlWidth(QStringLiteral("ListBox1")) / 80.0)));
}

void GameCore::FormResize()
{
    if (!CardsReady)
        return;
    if (View->isVisible(QStringLiteral("cpanel"))
        && View->controlWidth(QStringLiteral("PlayPanel")) - 100 < View->controlWidth(QStringLiteral("MultiPanel")))
        View->setGeometry(QStringLiteral("MultiPanel"), 0, 0, View->controlWidth(QStringLiteral("PlayPanel")) - 100,
                          View->controlHeight(QStringLiteral("MultiPanel")));
    HideCards();
    CurrentCard = 1;
    View->setText(QStringLiteral("CardLabel"), QStringLiteral("1"));
    View->moveControl(CardControl(1), 5, 25);
    View->setVisible(CardControl(1), true);
    View->setVisible(QStringLiteral("LeftCard"), false);
    View->setVisible(QStringLiteral("RightCard"), true);
    LayoutMainWindow();
    ShowCardControls();
    Refresh1Click();
}

void GameCore::ApplySkin(const QString& frame, const QString& background, Colour buttonColour, const QString& arrow)
{
    const QString frameFile = QStringLiteral("skins/") + frame + QStringLiteral(".bmp");
    const QString backFile = QStringLiteral("skins/") + background + QStringLiteral(".bmp");
    const struct { const char* control; QString file; } loads[] = {
        {"TopPanel", frameFile}, {"SidePanel", frameFile}, {"BottomPanel", frameFile},
        {"GridBackground", backFile}, {"GameBackground", backFile}, {"BingoBackground", backFile},
        {"LeftCard", QStringLiteral("skins/") + arrow + QStringLiteral("1.gif")},
        {"RightCard", QStringLiteral("skins/") + arrow + QStringLiteral("2.gif")},
    };
    // A file that cannot be read stops the change there; what was loaded keeps the new look.
    for (const auto& l : loads)
        if (!LoadPicture(QLatin1String(l.control), l.file))
            return;
    ButtonColour = buttonColour;
    for (const char* b : {"button4", "tbimage", "s1image", "s2image", "s3image", "s4image"})
        View->setFaceColour(QLatin1String(b), buttonColour);
}

void GameCore::ChooseSkin(int row)
{
    if (row < 0 || row >= SkinCount())
        return;
    const SkinRow& s = kSkins[row];
    ApplySkin(QLatin1String(s.frame), QLatin1String(s.background), s.colour, QLatin1String(s.arrow));
}

// ---------------------------------------------------------------- pictures

bool GameCore::LoadPicture(const QString& control, const QString& file)
{
    if (View->loadPicture(control, path(file)))
        return true;
    View->setText(QStringLiteral("status"), QStringLiteral("Picture not available: ") + file);
    return false;
}

void GameCore::FetchFile(const QString& name, int kind)
{
    if (fetchHook)
        fetchHook(name, kind);
    else if (kind != 4)
        View->setText(QStringLiteral("status"), QStringLiteral("Picture not available: ") + name);
}

void GameCore::ShowAdSpace1(const QString& name)
{
    if (fileExists(name)) {
        LoadPicture(QStringLiteral("adspace1"), name);
        View->repaint(QStringLiteral("adspace1"));
    } else {
        FetchFile(name, 6);
    }
}

void GameCore::ShowAdSpace2(const QString& name)
{
    if (fileExists(name)) {
        LoadPicture(QStringLiteral("AdSpace2"), name);
        View->repaint(QStringLiteral("AdSpace2"));
    } else {
        FetchFile(name, 7);
    }
}

void GameCore::ShowWinnersBackdrop(const QString& name)
{
    if (fileExists(name)) {
        LoadPicture(QStringLiteral("Twinners.winbackdrop"), name);
        View->repaint(QStringLiteral("Twinners.winbackdrop"));
    } else {
        FetchFile(name, 2);
    }
}

void GameCore::LoadBingoPicture(const QString& name)
{
    if (fileExists(name))
        LoadPicture(QStringLiteral("BingoGIF"), name);
    else
        FetchFile(name, 2);
}

void GameCore::ShowBingoPicture(const QString& name)
{
    View->setVisible(QStringLiteral("Panel7"), false);
    LoadPicture(QStringLiteral("AdSpace2"), QStringLiteral("logo.gif"));
    View->repaint(QStringLiteral("AdSpace2"));
    View->setVisible(QStringLiteral("AdSpace2"), false);
    if (fileExists(name)) {
        LoadPicture(QStringLiteral("BingoGIF"), name);
        View->repaint(QStringLiteral("BingoGIF"));
    } else {
        FetchFile(name, 2);
    }
    View->setVisible(QStringLiteral("BingoGIF"), true);
}

void GameCore::ShowPatternPicture(const QString& name)
{
    if (name == QLatin1String("FAILED")) {
        LoadPicture(QStringLiteral("anigrid1"), QStringLiteral("NAgrid.gif"));
        LoadPicture(QStringLiteral("anigrid2"), QStringLiteral("NAgrid.gif"));
        return;
    }
    if (fileExists(name)) {
        LoadPicture(QStringLiteral("anigrid1"), name);
        LoadPicture(QStringLiteral("anigrid2"), name);
    } else {
        FetchFile(name, 1);
    }
}

void GameCore::ShowNewsWindow()
{
    // The news window fetches and shows the operator's news; until it can, showing
    // it would only put an empty window in front of the game.
    if (newsHook)
        newsHook();
}
