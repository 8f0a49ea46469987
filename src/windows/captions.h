#pragma once
// The language table's texts on the controls and windows they belong to.
#include "shell/language.h"

#include <QStringList>

class ViewHub;

void ShowCaptions(const LanguageTable& language, ViewHub* view);
// The hint ShowCaptions gives a control (the text a quick-phrase button sends); empty for none.
QString HintOf(const LanguageTable& language, const QString& control);
// The controls and windows that carry a text or hint of the language table.
QStringList CaptionedControls();
