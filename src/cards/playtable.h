#pragma once
// The player's table: the cards laid out in the play area, paging, daubing choices,
// fonts and cursor, the local "Bingo!" check and the skins. What the player does
// here never reaches the server.
#include "calls/callboard.h"
#include "calls/soundqueue.h"
#include "cards/cardrack.h"
#include "rules/patterns.h"
#include "session/gameround.h"
#include "session/serverlinks.h"
#include "shell/language.h"
#include "shell/screenpictures.h"
#include "shell/settingsstore.h"
#include "shell/texts.h"
#include "views/views.h"

class PlayTable {
public:
    static constexpr int kSkinCount = 13;   // twelve looks of the Skins menu, then the start-up look

    PlayTable(const Views& views, const LanguageTable& language, CardRack& rack, CallBoard& board, SoundQueue& sounds,
              SettingsStore& settings, PatternState& pattern, ScreenPictures& pictures, const GameRound& round,
              const ServerLinks& links)
        : table_(views.table), shop_(views.shop), status_(views.status), calls_(views.calls), menus_(views.menus),
          player_(views.player), language_(language), rack_(rack), board_(board), sounds_(sounds), settings_(settings),
          pattern_(pattern), pictures_(pictures), round_(round), links_(links)
    {
    }

    // The main window changed size: the cards are laid out again from the first.
    void FormResize(const TableRoom& room);
    // The chat panel came, went or was dragged beside the cards: they are laid out again in
    // the room left, on the page the player was at.
    void RoomChanged(const TableRoom& room);
    void LayoutMainWindow();
    void Refresh1Click();
    // The face choice, Buy and the claim as the sales and the card shown allow.
    void ShowCardControls();
    void HideBuyControls();   // the face choice and Buy
    // Back to the first card (the face buttons' card), unless a request is under way.
    void iset1Click();
    void LeftCardClick();
    void RightCardClick();
    void FaceMouseDown(int card, int face, int column, int row) { rack_.FaceMouseDown(card, face, column, row); }
    void FaceMouseUp() { rack_.FaceMouseUp(); }
    // The new-game reset of cards, board and claim button.
    void ClearTable();

    void AutodauberClick();
    void SetAutoDaub(Colour colour);
    void dpresentMouseDown();
    void adpresentMouseDown();
    void BingoMarker1Click();
    void Shape6Click();
    bool dauberCursor() const { return dauberCursor_; }
    // The Dauber menu's "best card first", for this session only.
    void BestCardFirstClick()
    {
        rack_.setBestFirst(!rack_.bestFirst());
        menus_->checkBestCardFirst(rack_.bestFirst());
    }
    bool bestCardFirst() const { return rack_.bestFirst(); }
    // The badge of card k while a game runs: how many cells its best face still needs;
    // empty when no count applies.
    QString toGoBadge(int k) const;
    void Small1Click();
    void Large1Click();

    // The "Bingo!" button: checked here, never sent.
    void Button4Click();
    void Button4MouseUp();
    // The claim by key: asks first, so that a stray key does not claim.
    void ClaimByKey();
    // The Help menu's list of the keys.
    void KeyboardKeysClick()
    {
        player_->message(language_.text(Text::KeyboardKeysHelp).replace(QLatin1Char('|'), QLatin1Char('\n')));
    }

    // What a screen reader is told: the call just shown with the cards it brought to one to
    // go; a cell of a face (columns and rows 0..4); a face; a number of the board (1..75).
    void AnnounceCall(char code, const QList<int>& oneToGo);
    QString CellReading(int card, int face, int column, int row) const;
    QString FaceReading(int card, int face) const;
    QString FaceHelp() const { return language_.text(Text::CardFaceHelp); }
    QString BoardReading(int number) const;

    // 0..11 as the Skins menu lists them, 12 = the start-up look.
    void ChooseSkin(int row);

private:
    void Page(bool right);
    QString CardName(int card) const;   // "Card 3"

    CardTableView* table_;
    ShopView* shop_;
    StatusView* status_;
    CallView* calls_;
    MenuView* menus_;
    PlayerView* player_;
    const LanguageTable& language_;
    CardRack& rack_;
    CallBoard& board_;
    SoundQueue& sounds_;
    SettingsStore& settings_;
    PatternState& pattern_;
    ScreenPictures& pictures_;
    const GameRound& round_;
    const ServerLinks& links_;
    TableRoom room_;
    bool dauberCursor_ = false;
};
