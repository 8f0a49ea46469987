#pragma once
// A small reader of the operator's news files (RTF): formatted plain text only.
// Groups, character formats, colours, sizes, paragraph alignment and the Windows-1252
// and Unicode escapes are read; fonts, styles, pictures, objects, field instructions
// and every other destination are skipped, so nothing in a file is followed or run.
// Input, nesting and output are bounded: damaged or hostile input yields what could
// be read.
#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>
#include <optional>

struct RtfFormat {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::optional<std::uint32_t> colour;   // 0xRRGGBB; none: the box's own colour
    std::optional<int> points;             // none: the box's own size

    bool operator==(const RtfFormat& o) const
    {
        return bold == o.bold && italic == o.italic && underline == o.underline && colour == o.colour
               && points == o.points;
    }
    bool operator!=(const RtfFormat& o) const { return !(*this == o); }
};

struct RtfRun {
    QString text;   // may hold tabs and line separators (U+2028), never a paragraph break
    RtfFormat format;
};

enum class RtfAlignment { Left, Centre, Right, Justified };

struct RtfParagraph {
    QList<RtfRun> runs;
    RtfAlignment alignment = RtfAlignment::Left;
};

struct RtfDocument {
    QList<RtfParagraph> paragraphs;
    bool truncated = false;   // input or output went past its bound; the rest is not shown

    // The text alone, paragraphs joined by "\n" (tests and plain views).
    QString plainText() const;
};

namespace Rtf {
constexpr qsizetype kMaxInput = 1024 * 1024;   // bytes read from a file
constexpr int kMaxDepth = 64;                  // groups nested deeper are skipped whole
// Characters shown, paragraph breaks included, when all are of the usual size; larger
// characters count for more, smaller ones for less.
constexpr qsizetype kMaxOutput = 128 * 1024;
constexpr int kOutputPoints = 12;
constexpr qsizetype kMaxParagraph = 8 * 1024;   // characters; a longer paragraph is split
constexpr qsizetype kMaxRunsPerParagraph = 1000;
constexpr int kMaxColours = 256;
constexpr int kMinPoints = 4;
constexpr int kMaxPoints = 144;
}

// Reads an RTF file's bytes. Bytes that do not start with "{\rtf" are shown as plain
// text lines (UTF-8 when they are valid UTF-8, Windows-1252 otherwise).
RtfDocument ReadRtf(const QByteArray& data);
