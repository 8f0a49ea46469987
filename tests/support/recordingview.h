#pragma once
// A view port that records what the core shows, for tests.
#include "shell/controlnames.h"
#include "shell/viewport.h"

#include <gtest/gtest.h>

#include <QHash>
#include <QMap>
#include <QStringList>

class RecordingView : public MainView {
public:
    struct Control {
        bool visible = false, visibleKnown = false, enabled = true, checked = false;
        QString text, hint, picture, readerName, readerDescription;
        std::uint32_t fontColour = 0, faceColour = 0;
        QStringList items;
        int progress = 0, left = 0, top = 0, width = 0, height = 0, columns = 0;
    };

    QHash<QString, Control> controls;
    QStringList events;   // "message:<text>", "beep", "show:<window>", ...
    QStringList messages, errors, statusHistory, shownWindows, openedUrls, announced;   // each in the order shown
    int beeps = 0, boardRedraws = 0;
    bool questionAnswer = true, colourAnswer = false, dauberCursor = false;
    std::uint32_t colourToChoose = 0;
    QStringList missingPictures;   // loadPicture fails for these file names (suffix match)
    QMap<int, int> cardRedraws;

    // Every name the core addresses must be one the windows have.
    Control& c(const QString& name)
    {
        if (!Ctl::IsKnown(name))
            ADD_FAILURE() << "the core addressed a control no window has: " << name.toStdString();
        return controls[name];
    }
    bool visible(const QString& name) const { return controls.value(name).visible; }
    QString text(const QString& name) const { return controls.value(name).text; }
    QString status() const { return text(QStringLiteral("status")); }
    int beepCount() const { return beeps; }

    void setVisible(const QString& n, bool v) override { auto& x = c(n); x.visible = v; x.visibleKnown = true; }
    void setEnabled(const QString& n, bool v) override { c(n).enabled = v; }
    void setText(const QString& n, const QString& t) override
    {
        c(n).text = t;
        if (n == QLatin1String("status"))
            statusHistory << t;
    }
    void setHint(const QString& n, const QString& t) override { c(n).hint = t; }
    void describe(const QString& n, const QString& name, const QString& description) override
    {
        c(n).readerName = name;
        c(n).readerDescription = description;
    }
    void setChecked(const QString& n, bool v) override { c(n).checked = v; }
    void setFontColour(const QString& n, std::uint32_t rgb) override { c(n).fontColour = rgb; }
    void setFaceColour(const QString& n, std::uint32_t rgb) override { c(n).faceColour = rgb; }
    void setItems(const QString& n, const QStringList& items) override { c(n).items = items; }
    void appendLine(const QString& n, const QString& line) override { c(n).items << line; }
    void setProgress(const QString& n, int v) override { c(n).progress = v; }
    void setGeometry(const QString& n, int l, int t, int w, int h) override
    {
        auto& x = c(n);
        x.left = l; x.top = t; x.width = w; x.height = h;
    }
    void moveControl(const QString& n, int l, int t) override { auto& x = c(n); x.left = l; x.top = t; }
    void setColumns(const QString& n, int columns) override { c(n).columns = columns; }
    bool loadPicture(const QString& n, const QString& file) override
    {
        for (const QString& m : missingPictures)
            if (file.endsWith(m, Qt::CaseInsensitive))
                return false;
        c(n).picture = file;
        return true;
    }
    bool loadRichText(const QString& n, const QString& file) override
    {
        c(n).picture = file;
        return true;
    }
    void repaint(const QString&) override {}
    void showWindow(const QString& w) override { shownWindows << w; events << QStringLiteral("show:") + w; c(w).visible = true; }
    void hideWindow(const QString& w) override { events << QStringLiteral("hide:") + w; c(w).visible = false; }
    void redrawCard(int card) override { cardRedraws[card]++; }
    void redrawBoard() override { ++boardRedraws; }
    void setCardCursor(bool dauber) override { dauberCursor = dauber; }
    void messageBox(const QString& t) override { messages << t; events << QStringLiteral("message:") + t; }
    void errorBox(const QString& t) override { errors << t; events << QStringLiteral("error:") + t; }
    bool question(const QString& t) override { events << QStringLiteral("question:") + t; return questionAnswer; }
    bool chooseColour(std::uint32_t, std::uint32_t* chosen) override
    {
        if (colourAnswer)
            *chosen = colourToChoose;
        return colourAnswer;
    }
    void beep() override { ++beeps; events << QStringLiteral("beep"); }
    void log(const QString& t) override { events << QStringLiteral("log:") + t; }
    QString notice;
    void setStatusNotice(const QString& t) override { notice = t; }
    void announce(const QString& t) override { announced << t; }
    void openUrl(const QString& url) override { openedUrls << url; events << QStringLiteral("open:") + url; }
    bool startProgram(const QString& p, const QStringList& args) override
    {
        events << QStringLiteral("start:") + p + QLatin1Char(' ') + args.join(QLatin1Char(' '));
        return true;
    }
    void quit() override { events << QStringLiteral("quit"); }
};
