#include "windows/richtext.h"

#include <QColor>
#include <QFont>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace {
QTextBlockFormat BlockFormat(RtfAlignment alignment)
{
    QTextBlockFormat format;
    switch (alignment) {
    case RtfAlignment::Left: format.setAlignment(Qt::AlignLeft); break;
    case RtfAlignment::Centre: format.setAlignment(Qt::AlignHCenter); break;
    case RtfAlignment::Right: format.setAlignment(Qt::AlignRight); break;
    case RtfAlignment::Justified: format.setAlignment(Qt::AlignJustify); break;
    }
    return format;
}

// Unset colours and sizes stay unset, so the box's own palette and font apply.
QTextCharFormat CharFormat(const RtfFormat& f)
{
    QTextCharFormat format;
    format.setFontWeight(f.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(f.italic);
    format.setFontUnderline(f.underline);
    if (f.colour)
        format.setForeground(QColor::fromRgb(QRgb(*f.colour)));
    if (f.points)
        format.setFontPointSize(*f.points);
    return format;
}
}

void FillRichText(QTextDocument* document, const RtfDocument& text)
{
    document->setUndoRedoEnabled(false);
    document->clear();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (qsizetype i = 0; i < text.paragraphs.size(); ++i) {
        const RtfParagraph& paragraph = text.paragraphs[i];
        if (i == 0)
            cursor.setBlockFormat(BlockFormat(paragraph.alignment));
        else
            cursor.insertBlock(BlockFormat(paragraph.alignment), QTextCharFormat());   // empty: the box's size
        for (const RtfRun& run : paragraph.runs)
            cursor.insertText(run.text, CharFormat(run.format));
    }
    cursor.endEditBlock();
}
