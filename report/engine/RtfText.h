#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One character of an RTF document's text and the markup bytes that stand for it: a plain
// byte, a \'xx escape, a \uN escape with its fallback, an escaped symbol or a control word
// such as \par or \tab.
struct TextUnit {
    char32_t character;
    std::size_t begin; // first byte of its markup
    std::size_t end;   // one past the last byte
};

// Reads the text of an RTF document in order, as a word processor shows it: control words
// and escapes become the characters they stand for, formatting groups are transparent,
// and destinations that are not text of the pages (font and colour tables, pictures, headers,
// field instructions, \* groups) are skipped. Footers are read where they stand: a report's
// title block is filled there. `visit` returns false to stop early.
// Any bytes are accepted; whatever is not well-formed is read leniently.
void ForEachTextUnit(std::string_view rtf, const std::function<bool(const TextUnit &)> &visit);

// Where a reading of the document stands, to read on from there.
struct ReadingPoint;

// The same from the unit that begins at byte `begin`, read as from `point`.
void ForEachTextUnitFrom(std::string_view rtf, const ReadingPoint &point, std::size_t begin,
                         const std::function<bool(const TextUnit &)> &visit);

// How many characters of the text a place of a character remembers, its own first.
inline constexpr std::size_t kLeadLength = 4;

// A unit of one character, the reading point at its start, and the first characters the
// text reads from there: its lead, which ends where the markup of its last unit ends.
struct CharacterPlace {
    std::size_t begin;
    std::shared_ptr<const ReadingPoint> point;
    std::array<char32_t, kLeadLength> lead;
    std::size_t leadEnd;
    std::size_t leadLength = 0; // short only at the end of the text
};

// Every unit of the text whose character is `character`, in order, read in one pass; the
// reading stops before the place that would be the `limit` + 1st, and says where.
struct CharacterPlaces {
    std::vector<CharacterPlace> places;
    std::size_t coveredUntil = std::string_view::npos; // every place before this is listed
};
CharacterPlaces FindCharacter(std::string_view rtf, char32_t character, std::size_t limit);

// A control word read from `pos`, just past its backslash, with its parameter and the
// blank that ends it; `pos` is left after them. Words are cut at 32 letters, parameters at
// 10 digits.
struct RtfControlWord {
    std::string_view word;
    bool hasParameter = false;
    long parameter = 0;
    bool delimited = false; // ended with a blank that belongs to it
};
RtfControlWord ReadRtfControlWord(std::string_view rtf, std::size_t &pos);
bool RtfIsLetter(char c);
int RtfHexValue(char c); // -1 for no hex digit

// A byte of text in the code page 1251 (Cyrillic) or, any other, 1252 (Western).
char32_t RtfCodePageCharacter(unsigned char byte, int codePage);

// The document's text as UTF-8.
std::string RtfPlainText(std::string_view rtf);

// `text` (UTF-8) written as RTF: ASCII as it is with \, { and } escaped, everything else
// as \uN? escapes, line breaks and tabs as control words.
std::string RtfEscape(std::string_view text);
