#include "shell/rtf.h"

#include <QByteArrayView>
#include <QStringDecoder>
#include <algorithm>
#include <utility>
#include <vector>

namespace {

// Windows-1252 at 0x80-0x9F; 0 where the code page leaves a byte undefined. Every other
// byte is the Latin-1 character of its value.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t FromCp1252(uchar b) { return b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char16_t(b); }

// Groups whose content is never text: tables, document data, pictures, objects, field
// instructions (the field's result is shown), headers and notes.
constexpr const char* kSkippedDestinations[] = {
    "fonttbl", "stylesheet", "info", "pict", "object", "fldinst", "filetbl", "listtable", "listoverridetable",
    "revtbl", "rsidtbl", "generator", "themedata", "colorschememapping", "datastore", "latentstyles", "xmlnstbl",
    "nonshppict", "shp", "header", "headerl", "headerr", "headerf", "footer", "footerl", "footerr", "footerf",
    "footnote", "annotation", "xe", "tc", "bkmkstart", "bkmkend"};

// Words that stand for one character.
constexpr std::pair<const char*, char16_t> kCharacterWords[] = {
    {"tab", u'\t'},     {"cell", u'\t'},      {"line", 0x2028},      {"emdash", 0x2014}, {"endash", 0x2013},
    {"bullet", 0x2022}, {"lquote", 0x2018},   {"rquote", 0x2019},    {"ldblquote", 0x201C},
    {"rdblquote", 0x201D}, {"emspace", u' '}, {"enspace", u' '}};

enum class Destination { Text, Skip, Colours };

struct State {
    RtfFormat format;
    RtfAlignment alignment = RtfAlignment::Left;
    Destination destination = Destination::Text;
    int unicodeSkip = 1;   // fallback characters that follow each \u
    bool hidden = false;
};

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

class Reader {
public:
    // Reads from `start` to the input bound.
    Reader(const QByteArray& data, qsizetype start)
        : p_(data.constData() + start), end_(data.constData() + std::max(start, std::min(data.size(), Rtf::kMaxInput)))
    {
        doc_.truncated = data.size() > Rtf::kMaxInput;
    }

    RtfDocument readRtf();
    RtfDocument readPlain();

private:
    void controlWord(QByteArrayView word, bool hasParam, int param);
    void controlSymbol(char c);
    void character(char16_t c);
    void put(char16_t c);
    void append(char16_t c, char16_t low = 0);
    void endParagraph();
    bool spend();
    bool spent(std::optional<int> points);
    void finish();

    const char* p_;
    const char* end_;
    std::vector<State> saved_;   // the states of the enclosing groups
    State state_;
    int deepGroups_ = 0;         // groups open past the nesting bound, skipped whole
    int fallback_ = 0;           // characters after a \u still to skip
    QList<std::optional<std::uint32_t>> colours_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colourGiven_ = false;
    char16_t highSurrogate_ = 0;
    RtfDocument doc_;
    RtfParagraph paragraph_;
    qsizetype paragraphLength_ = 0;
    qsizetype output_ = 0;       // in points, see spent()
    bool full_ = false;
};

RtfDocument Reader::readRtf()
{
    while (p_ < end_ && !full_) {
        const char c = *p_++;
        if (c == '{') {
            fallback_ = 0;
            if (deepGroups_ > 0 || int(saved_.size()) >= Rtf::kMaxDepth)
                ++deepGroups_;
            else
                saved_.push_back(state_);
        } else if (c == '}') {
            fallback_ = 0;
            if (deepGroups_ > 0) {
                --deepGroups_;
                continue;
            }
            if (saved_.empty())
                break;
            state_ = saved_.back();
            saved_.pop_back();
            if (saved_.empty())
                break;   // the document's own group has ended; anything after it is not the document
        } else if (c == '\\') {
            if (p_ == end_)
                break;
            if (!IsLetter(*p_)) {
                controlSymbol(*p_++);
                continue;
            }
            const char* word = p_;
            while (p_ < end_ && IsLetter(*p_))
                ++p_;
            const auto length = std::min<qsizetype>(p_ - word, 32);
            bool negative = false;
            if (p_ + 1 < end_ && *p_ == '-' && IsDigit(p_[1])) {
                negative = true;
                ++p_;
            }
            const bool hasParam = p_ < end_ && IsDigit(*p_);
            int param = 0;
            for (; p_ < end_ && IsDigit(*p_); ++p_)
                if (param < 100000000)
                    param = param * 10 + (*p_ - '0');
            if (p_ < end_ && *p_ == ' ')
                ++p_;
            controlWord(QByteArrayView(word, length), hasParam, negative ? -param : param);
        } else if (c != '\r' && c != '\n' && deepGroups_ == 0) {
            character(FromCp1252(uchar(c)));
        }
    }
    finish();
    return std::move(doc_);
}

RtfDocument Reader::readPlain()
{
    const QByteArray bytes(p_, end_ - p_);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError()) {
        text.clear();
        for (const char b : bytes)
            text += QChar(FromCp1252(uchar(b)));
    }
    for (qsizetype i = 0; i < text.size() && !full_; ++i) {
        if (text[i] == u'\n')
            endParagraph();
        else if (text[i] != u'\r')
            put(text[i].unicode());
    }
    finish();
    return std::move(doc_);
}

// One character of the fallback that follows a \u is used up; true when this one was.
bool Reader::spend()
{
    if (fallback_ == 0)
        return false;
    --fallback_;
    return true;
}

void Reader::controlWord(QByteArrayView word, bool hasParam, int param)
{
    if (word == "bin") {
        // Raw bytes that could hold anything, braces included.
        if (hasParam && param > 0)
            p_ += std::min<qsizetype>(param, end_ - p_);
        spend();
        return;
    }
    if (deepGroups_ > 0 || spend())
        return;
    if (state_.destination == Destination::Skip)
        return;
    if (std::any_of(std::begin(kSkippedDestinations), std::end(kSkippedDestinations),
                    [&](const char* d) { return word == d; })) {
        state_.destination = Destination::Skip;
        return;
    }
    if (word == "colortbl") {
        state_.destination = colours_.isEmpty() ? Destination::Colours : Destination::Skip;
        return;
    }
    const bool on = !hasParam || param != 0;
    if (state_.destination == Destination::Colours) {
        const int value = std::clamp(param, 0, 255);
        if (word == "red")
            red_ = value;
        else if (word == "green")
            green_ = value;
        else if (word == "blue")
            blue_ = value;
        else
            return;
        colourGiven_ = true;
        return;
    }
    if (word == "b") {
        state_.format.bold = on;
    } else if (word == "i") {
        state_.format.italic = on;
    } else if (word == "ul" || word == "uld" || word == "uldb" || word == "ulw") {
        state_.format.underline = on;
    } else if (word == "ulnone") {
        state_.format.underline = false;
    } else if (word == "plain") {
        state_.format = RtfFormat();
        state_.hidden = false;
    } else if (word == "fs") {
        state_.format.points.reset();
        if (hasParam && param > 0)
            state_.format.points = std::clamp((param + 1) / 2, Rtf::kMinPoints, Rtf::kMaxPoints);
    } else if (word == "cf") {
        state_.format.colour = param >= 0 && param < colours_.size() ? colours_[param] : std::nullopt;
    } else if (word == "v") {
        state_.hidden = on;
    } else if (word == "par" || word == "sect" || word == "page" || word == "row") {
        endParagraph();
    } else if (word == "pard") {
        state_.alignment = RtfAlignment::Left;
    } else if (word == "ql" || word == "qc" || word == "qr" || word == "qj") {
        const char a = word.at(1);
        state_.alignment = a == 'c'   ? RtfAlignment::Centre
                           : a == 'r' ? RtfAlignment::Right
                           : a == 'j' ? RtfAlignment::Justified
                                      : RtfAlignment::Left;
    } else if (word == "uc") {
        state_.unicodeSkip = std::clamp(param, 0, 16);
    } else if (word == "u") {
        if (!hasParam)
            return;
        put(char16_t(param < 0 ? param + 65536 : param));
        fallback_ = state_.unicodeSkip;
    } else {
        for (const auto& [name, c] : kCharacterWords)
            if (word == name)
                put(c);
    }
}

void Reader::controlSymbol(char c)
{
    if (c == '\'') {
        int value = 0, digits = 0;
        for (; digits < 2 && p_ < end_ && HexDigit(*p_) >= 0; ++digits)
            value = value * 16 + HexDigit(*p_++);
        if (digits == 2 && deepGroups_ == 0)
            character(FromCp1252(uchar(value)));
        return;   // a broken escape shows nothing
    }
    if (deepGroups_ > 0)
        return;
    if (c == '\\' || c == '{' || c == '}') {
        character(char16_t(c));
        return;
    }
    if (spend())
        return;
    if (c == '*') {
        state_.destination = Destination::Skip;   // a destination a reader may ignore, and this one does
    } else if (state_.destination == Destination::Text) {
        if (c == '~')
            put(0x00A0);
        else if (c == '_')
            put(u'-');
        else if (c == '\n' || c == '\r')
            endParagraph();
    }
}

// A character of the file, in whichever destination is open.
void Reader::character(char16_t c)
{
    if (spend())
        return;
    if (state_.destination == Destination::Colours && c == u';') {
        if (colours_.size() < Rtf::kMaxColours)
            colours_.append(colourGiven_ ? std::optional<std::uint32_t>(std::uint32_t(red_ << 16 | green_ << 8 | blue_))
                                         : std::nullopt);
        red_ = green_ = blue_ = 0;
        colourGiven_ = false;
    } else if (state_.destination == Destination::Text) {
        put(c);
    }
}

// A character of the text. Controls other than the tab go, and so do halves of a
// character that never meet their other half.
void Reader::put(char16_t c)
{
    if (state_.hidden)
        return;
    if (QChar::isHighSurrogate(c)) {
        highSurrogate_ = c;
        return;
    }
    const char16_t high = std::exchange(highSurrogate_, 0);
    if (QChar::isLowSurrogate(c)) {
        if (high != 0)
            append(high, c);
        return;
    }
    if ((c < 0x20 && c != u'\t') || c == 0x7F || c == 0xFFFE || c == 0xFFFF)
        return;
    append(c);
}

// What a character costs to lay out grows with its size: a 144-point line break takes the
// height of twelve 12-point ones, and a text box fails on a document some million pixels tall.
// A line is as tall as its tallest character, which has paid for it; an empty paragraph is of
// the box's own size.
bool Reader::spent(std::optional<int> points)
{
    output_ += points.value_or(Rtf::kOutputPoints);
    if (output_ <= Rtf::kMaxOutput * Rtf::kOutputPoints)
        return false;
    full_ = doc_.truncated = true;
    return true;
}

// One character, in one UTF-16 unit or, with `low`, in two that stay together.
void Reader::append(char16_t c, char16_t low)
{
    // A box lays out a paragraph in time that grows with the square of its length once it
    // has to break long words; an overlong one goes on as a new paragraph.
    if (paragraphLength_ >= Rtf::kMaxParagraph) {
        endParagraph();
        if (full_)
            return;
    }
    // Past its bound of format changes a paragraph keeps its last format: laying out a line of
    // many thousand changes takes a text box minutes.
    const bool changed = paragraph_.runs.isEmpty() || paragraph_.runs.last().format != state_.format;
    const bool newRun = changed && paragraph_.runs.size() < Rtf::kMaxRunsPerParagraph;
    if (spent(newRun ? state_.format.points : paragraph_.runs.last().format.points))
        return;
    if (newRun)
        paragraph_.runs.append(RtfRun{QString(), state_.format});
    paragraph_.runs.last().text += QChar(c);
    if (low != 0)
        paragraph_.runs.last().text += QChar(low);
    paragraph_.alignment = state_.alignment;
    ++paragraphLength_;
}

void Reader::endParagraph()
{
    if (spent(std::nullopt))
        return;
    highSurrogate_ = 0;
    paragraph_.alignment = state_.alignment;
    doc_.paragraphs.append(std::move(paragraph_));
    paragraph_ = RtfParagraph();
    paragraphLength_ = 0;
}

// The last paragraph counts when it has text, whether or not its end was written; it keeps the
// alignment of its text, as the group that set it may have ended with the document.
void Reader::finish()
{
    if (paragraph_.runs.isEmpty())
        return;
    doc_.paragraphs.append(std::move(paragraph_));
    paragraph_ = RtfParagraph();
}

}   // namespace

QString RtfDocument::plainText() const
{
    QString text;
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            text += u'\n';
        for (const RtfRun& r : paragraphs[i].runs)
            text += r.text;
    }
    return text;
}

RtfDocument ReadRtf(const QByteArray& data)
{
    qsizetype start = 0;
    while (start < data.size() && start < 64 && QChar::isSpace(uchar(data[start])))
        ++start;
    if (QByteArrayView(data).sliced(start).startsWith("{\\rtf"))
        return Reader(data, start).readRtf();
    return Reader(data, 0).readPlain();
}
