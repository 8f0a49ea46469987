#pragma once
// A view port that shows nothing: the core runs headless behind it (fuzzing, benchmarks).
#include "shell/viewport.h"

class NullView : public MainView {
public:
    void setVisible(const QString&, bool) override {}
    void setEnabled(const QString&, bool) override {}
    void setText(const QString&, const QString&) override {}
    void setHint(const QString&, const QString&) override {}
    void describe(const QString&, const QString&, const QString&) override {}
    void setChecked(const QString&, bool) override {}
    void setFontColour(const QString&, std::uint32_t) override {}
    void setFaceColour(const QString&, std::uint32_t) override {}
    void setItems(const QString&, const QStringList&) override {}
    void appendLine(const QString&, const QString&) override {}
    void setProgress(const QString&, int) override {}
    void setGeometry(const QString&, int, int, int, int) override {}
    void moveControl(const QString&, int, int) override {}
    void setColumns(const QString&, int) override {}
    bool loadPicture(const QString&, const QString&) override { return true; }
    bool loadRichText(const QString&, const QString&) override { return true; }
    void repaint(const QString&) override {}
    void showWindow(const QString&) override {}
    void hideWindow(const QString&) override {}
    void redrawCard(int) override {}
    void redrawBoard() override {}
    void setCardCursor(bool) override {}
    void messageBox(const QString&) override {}
    void errorBox(const QString&) override {}
    bool question(const QString&) override { return false; }
    bool chooseColour(std::uint32_t, std::uint32_t*) override { return false; }
    void beep() override {}
    void log(const QString&) override {}
    void setStatusNotice(const QString&) override {}
    void announce(const QString&) override {}
    void openUrl(const QString&) override {}
    bool startProgram(const QString&, const QStringList&) override { return false; }
    void quit() override {}
};
