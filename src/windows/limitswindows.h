#pragma once
// The player's own bounds on play: the Play Limits window (Connect menu) and the reality
// check that interrupts a long session. Both pass the player's choices to the core.
#include "views/views.h"
#include "windows/dialogs.h"

#include <array>

class GameCore;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

class PlayLimitsWindow : public CentredDialog {
    Q_OBJECT
public:
    explicit PlayLimitsWindow(GameCore* core, QWidget* parent = nullptr);
    // Fills the window with the limits as they stand and says which changes wait, and until when.
    void fill(const LimitsForm& form);

private:
    // Sets what the player changed; says what could not be read.
    void save();

    struct Row {
        QCheckBox* on = nullptr;
        QLineEdit* amount = nullptr;
        QLabel* waiting = nullptr;
    };
    GameCore* core_;
    std::array<Row, kLimitKinds> rows_{};
    QComboBox* reality_ = nullptr;
    QLabel* message_ = nullptr;
    LimitsForm shown_;
};

class RealityCheckWindow : public CentredDialog {
    Q_OBJECT
public:
    explicit RealityCheckWindow(GameCore* core, QWidget* parent = nullptr);
    void fill(const RealityFigures& figures);

private:
    QLabel* text_ = nullptr;
};

// "1 h 05 min", "12 min": how long a session has lasted.
QString PlayedText(qint64 seconds);
