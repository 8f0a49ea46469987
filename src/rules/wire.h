#pragma once
// Server line syntax: keyword prefixes compared by fixed length, tagged fields
// "$c" value "%c", 1-based character ranges, and strict decimal conversion.
#include <QByteArray>
#include <QString>
#include <optional>

// Wire text (single-byte) as screen text.
inline QString L1(const QByteArray& bytes) { return QString::fromLatin1(bytes); }

// Exact, case-sensitive comparison of the line's first prefix.size() bytes.
inline bool HasPrefix(const QByteArray& line, const char* prefix) { return line.startsWith(prefix); }

// The text between the first "$c" and the first "%c"; empty when either tag is
// missing or "%c" does not follow "$c".
QByteArray FieldValue(char code, const QByteArray& line);

// Characters from..to of the line, counting from 1, clipped to the line.
QByteArray Chars(const QByteArray& line, int from, int to);

// The program's own text formats: the value after the first occurrence of key (not
// anchored) up to the first terminator within the `window` characters that follow;
// empty when the key is missing or no terminator lies within the window.
QByteArray KeyedValue(const QByteArray& text, const QByteArray& key, int window, const QByteArray& terminator);

// A decimal integer (optional sign, surrounding blanks allowed) that fits 32 bits.
std::optional<int> ToInt(const QByteArray& text);
