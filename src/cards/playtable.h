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
#include "shell/controlnames.h"
#include "shell/language.h"
#include "shell/screenpictures.h"
#include "shell/settingsstore.h"
#include "shell/viewport.h"

class PlayTable {
public:
    static constexpr int kSkinCount = 13;
    static constexpr int kChatDockWidth = 258;   // the play area's width beside the chat
    static constexpr int kSplitterWidth = 7;   // twelve looks of the Skins menu, then the start-up look

    PlayTable(MainView* view, const LanguageTable& language, CardRack& rack, CallBoard& board, SoundQueue& sounds,
              SettingsStore& settings, PatternState& pattern, ScreenPictures& pictures, const GameRound& round,
              const ServerLinks& links)
        : view_(view), language_(language), rack_(rack), board_(board), sounds_(sounds), settings_(settings),
          pattern_(pattern), pictures_(pictures), round_(round), links_(links)
    {
        rack_.followPattern(&pattern_, &sounds_);
    }

    // The main window's play area changed size.
    void FormResize(const PlayArea& area);
    void LayoutMainWindow();
    // The chat panel beside the play area (shown), or the play area alone.
    void DockChat(bool shown);
    void Refresh1Click();
    void ShowCardControls();
    // Back to the first card (the face buttons' card), unless a request is under way.
    void iset1Click();
    void LeftCardClick();
    void RightCardClick();
    void FaceMouseDown(int card, int face, int x, int y) { rack_.FaceMouseDown(card, face, x, y); }
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
        view_->setChecked(Ctl::BestCardFirst1, rack_.bestFirst());
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
    void KeyboardKeysClick() { view_->messageBox(language_.text(1816).replace(QLatin1Char('|'), QLatin1Char('\n'))); }

    // What a screen reader is told: the call just shown with the cards it brought to one to
    // go; a cell of a face (columns and rows 0..4); a face; a number of the board (1..75).
    void AnnounceCall(char code, const QList<int>& oneToGo);
    QString CellReading(int card, int face, int column, int row) const;
    QString FaceReading(int card, int face) const;
    QString FaceHelp() const { return language_.text(1865); }
    QString BoardReading(int number) const;

    // 0..11 as the Skins menu lists them, 12 = the start-up look.
    void ChooseSkin(int row);
    Colour buttonColour() const { return buttonColour_; }

private:
    void Page(bool right);
    QString CardName(int card) const;   // "Card 3"

    MainView* view_;
    const LanguageTable& language_;
    CardRack& rack_;
    CallBoard& board_;
    SoundQueue& sounds_;
    SettingsStore& settings_;
    PatternState& pattern_;
    ScreenPictures& pictures_;
    const GameRound& round_;
    const ServerLinks& links_;
    PlayArea area_;
    bool dauberCursor_ = false;
    Colour buttonColour_ = RGB(0, 128, 128);
};
