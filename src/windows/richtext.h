#pragma once
// The news reader's text in a Qt text document: text and character and paragraph
// formats only, inserted as plain text, so no markup, link, picture or resource is
// ever interpreted or loaded.
#include "shell/rtf.h"

class QTextDocument;

// Replaces the document's content with the text.
void FillRichText(QTextDocument* document, const RtfDocument& text);
