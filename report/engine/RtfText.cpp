#include "report/engine/RtfText.h"

#include "report/engine/Utf8.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

namespace {

// Upper halves of the two code pages an RTF template is met in: Windows-1251 (Cyrillic)
// from 0x80 to 0xBF, its letters following from 0xC0 as U+0410…U+044F; and Windows-1252
// from 0x80 to 0x9F, Latin-1 from 0xA0 on. Undefined bytes read as U+FFFD.
constexpr std::array<char16_t, 64> kCp1251{
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, //
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, //
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, //
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, //
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, //
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};
constexpr std::array<char16_t, 32> kCp1252{
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, //
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
};

char32_t DecodeByte(unsigned char byte, int codePage)
{
    if (byte < 0x80) return byte;
    if (codePage == 1251) return byte >= 0xC0 ? 0x0410 + (byte - 0xC0) : kCp1251[byte - 0x80];
    return byte >= 0xA0 ? byte : kCp1252[byte - 0x80];
}

int CodePageOfCharset(int charset)
{
    return charset == 204 ? 1251 : 1252;
}

// Groups whose content is not body text.
bool IsSkippedDestination(std::string_view word)
{
    static constexpr std::string_view kDestinations[] = {
        "author",
        "buptim",
        "colorschememapping",
        "colortbl",
        "comment",
        "creatim",
        "datastore",
        "doccomm",
        "factoidname",
        "filetbl",
        "fldinst",
        "fonttbl",
        "footnote",
        "generator",
        "header",
        "headerf",
        "headerl",
        "headerr",
        "info",
        "keywords",
        "latentstyles",
        "listoverridetable",
        "listtable",
        "object",
        "operator",
        "pict",
        "printim",
        "private",
        "revtbl",
        "revtim",
        "rsidtbl",
        "stylesheet",
        "subject",
        "themedata",
        "title",
        "xmlnstbl",
    };
    return std::find(std::begin(kDestinations), std::end(kDestinations), word) !=
           std::end(kDestinations);
}

// Control words that stand for a character of the text.
bool CharacterOfControlWord(std::string_view word, char32_t &character)
{
    static const std::map<std::string_view, char32_t> kCharacters{
        {"par", U'\n'},        {"line", U'\n'},     {"sect", U'\n'},     {"page", U'\n'},
        {"row", U'\n'},        {"cell", U'\t'},     {"tab", U'\t'},      {"emdash", 0x2014},
        {"endash", 0x2013},    {"emspace", 0x2003}, {"enspace", 0x2002}, {"qmspace", 0x2005},
        {"bullet", 0x2022},    {"lquote", 0x2018},  {"rquote", 0x2019},  {"ldblquote", 0x201C},
        {"rdblquote", 0x201D},
    };
    const auto found = kCharacters.find(word);
    if (found == kCharacters.end()) return false;
    character = found->second;
    return true;
}

// The next backslash or brace from `pos`: memchr runs in chunks, so a long run of plain
// bytes (a picture's hex data) is passed at memory speed.
std::size_t FindMarkup(std::string_view text, std::size_t pos)
{
    constexpr std::size_t kChunk = 1 << 16;
    while (pos < text.size()) {
        const std::size_t length = std::min(kChunk, text.size() - pos);
        const char *begin = text.data() + pos;
        const char *found = nullptr;
        for (const char c : {'\\', '{', '}'}) {
            const auto *hit = static_cast<const char *>(std::memchr(begin, c, length));
            if (hit && (!found || hit < found)) found = hit;
        }
        if (found) return static_cast<std::size_t>(found - text.data());
        pos += length;
    }
    return text.size();
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}
struct GroupState {
    bool skipped = false;   // inside a destination that is not body text
    bool fontTable = false; // inside the font table, whose charsets are read
    int unicodeSkip = 1;    // \ucN: fallback characters after each \uN
    int charset = -1;       // of the current font, -1 when unknown

    bool operator==(const GroupState &) const = default;
};

} // namespace

// Everything the reader knows at a point of the document, so that it can read on from there.
struct ReadingPoint {
    GroupState state;
    std::vector<GroupState> stack;
    int documentCodePage = 1252;
    long fontBeingDefined = 0;
    std::shared_ptr<const std::map<long, int>> fontCharsets;

    bool operator==(const ReadingPoint &) const = default;
};

namespace {

class Reader {
public:
    Reader(std::string_view rtf, const std::function<bool(const TextUnit &)> &visit)
        : rtf_(rtf), visit_(visit), fontCharsets_(std::make_shared<const std::map<long, int>>())
    {
    }

    // Reads on from `point`, whose first unit now begins at `begin`.
    Reader(std::string_view rtf, const std::function<bool(const TextUnit &)> &visit,
           const ReadingPoint &point, std::size_t begin)
        : rtf_(rtf), visit_(visit), pos_(begin), state_(point.state), stack_(point.stack),
          documentCodePage_(point.documentCodePage), fontBeingDefined_(point.fontBeingDefined),
          fontCharsets_(point.fontCharsets)
    {
    }

    void run()
    {
        while (pos_ < rtf_.size() && !stopped_)
            step();
    }

    // Where the reader stands now; the same object as `last` while nothing has changed,
    // so that the places of a long run of text share one point.
    std::shared_ptr<const ReadingPoint>
    point(const std::shared_ptr<const ReadingPoint> &last = nullptr) const
    {
        ReadingPoint now{state_, stack_, documentCodePage_, fontBeingDefined_, fontCharsets_};
        if (last && *last == now) return last;
        return std::make_shared<const ReadingPoint>(std::move(now));
    }

private:
    using ControlWord = RtfControlWord;

    void step()
    {
        const std::size_t start = pos_;
        const char c = rtf_[pos_];
        if (c == '{') {
            ++pos_;
            stack_.push_back(state_);
            groupStart_ = true;
            return;
        }
        if (c == '}') {
            ++pos_;
            if (!stack_.empty()) {
                state_ = stack_.back();
                stack_.pop_back();
            }
            groupStart_ = false;
            return;
        }
        const bool atGroupStart = groupStart_;
        groupStart_ = false;
        if (c == '\\') {
            controlSequence(start, atGroupStart);
            return;
        }
        if (state_.skipped) {
            // Text of a skipped destination (a picture's hex data, say) is not read at all.
            pos_ = FindMarkup(rtf_, pos_ + 1);
            return;
        }
        ++pos_;
        if (c == '\r' || c == '\n') return; // line breaks of the markup are not text
        if (static_cast<unsigned char>(c) < 0x20) return;
        emit(DecodeByte(static_cast<unsigned char>(c), codePage()), start);
    }

    void controlSequence(std::size_t start, bool atGroupStart)
    {
        if (pos_ + 1 >= rtf_.size()) {
            pos_ = rtf_.size();
            return;
        }
        const char next = rtf_[pos_ + 1];
        if (RtfIsLetter(next)) {
            ++pos_;
            const ControlWord word = readControlWord();
            controlWord(word, start, atGroupStart);
            return;
        }
        pos_ += 2;
        switch (next) {
        case '\'': {
            const int byte = readHexByte();
            if (byte >= 0) emit(DecodeByte(static_cast<unsigned char>(byte), codePage()), start);
            return;
        }
        case '\\':
        case '{':
        case '}':
            emit(static_cast<unsigned char>(next), start);
            return;
        case '~':
            emit(0x00A0, start);
            return;
        case '_':
            emit(0x2011, start);
            return;
        case '\r':
        case '\n':
            emit(U'\n', start);
            return;
        case '*':
            if (atGroupStart) state_.skipped = true;
            return;
        default: // \- (optional hyphen), \| and \: carry no text
            return;
        }
    }

    ControlWord readControlWord() { return ReadRtfControlWord(rtf_, pos_); }

    void controlWord(const ControlWord &w, std::size_t start, bool atGroupStart)
    {
        if (atGroupStart && IsSkippedDestination(w.word)) {
            state_.skipped = true;
            if (w.word == "fonttbl") state_.fontTable = true;
        }
        if (w.word == "bin") {
            // Binary data: its bytes are not markup.
            const auto length = static_cast<std::size_t>(std::max(0L, w.parameter));
            pos_ += std::min(length, rtf_.size() - pos_);
            return;
        }
        if (w.word == "uc") {
            state_.unicodeSkip = static_cast<int>(std::clamp(w.parameter, 0L, 16L));
            return;
        }
        if (w.word == "ansicpg" && w.hasParameter) {
            documentCodePage_ = static_cast<int>(w.parameter);
            return;
        }
        if (w.word == "f" && w.hasParameter) {
            if (state_.fontTable) {
                fontBeingDefined_ = w.parameter;
            } else {
                const auto charset = fontCharsets_->find(w.parameter);
                state_.charset = charset == fontCharsets_->end() ? -1 : charset->second;
            }
            return;
        }
        if (w.word == "fcharset" && state_.fontTable) {
            // Copied on change: reading points taken before keep the fonts they knew.
            auto fonts = std::make_shared<std::map<long, int>>(*fontCharsets_);
            (*fonts)[fontBeingDefined_] = static_cast<int>(w.parameter);
            fontCharsets_ = std::move(fonts);
            return;
        }
        if (w.word == "u" && w.hasParameter) {
            unicodeCharacter(w.parameter, start);
            return;
        }
        char32_t character = 0;
        if (CharacterOfControlWord(w.word, character)) emit(character, start);
    }

    void unicodeCharacter(long parameter, std::size_t start)
    {
        char32_t character =
            static_cast<char32_t>(parameter < 0 ? parameter + 65536 : parameter) & 0xFFFF;
        skipFallback();
        // A surrogate pair written as two escapes is one character.
        if (character >= 0xD800 && character <= 0xDBFF && pos_ + 2 < rtf_.size() &&
            rtf_[pos_] == '\\' && rtf_[pos_ + 1] == 'u' &&
            (IsDigit(rtf_[pos_ + 2]) || rtf_[pos_ + 2] == '-')) {
            const std::size_t save = pos_;
            ++pos_;
            const ControlWord low = readControlWord();
            const char32_t lowUnit =
                static_cast<char32_t>(low.parameter < 0 ? low.parameter + 65536 : low.parameter) &
                0xFFFF;
            if (low.word == "u" && lowUnit >= 0xDC00 && lowUnit <= 0xDFFF) {
                skipFallback();
                character = 0x10000 + ((character - 0xD800) << 10) + (lowUnit - 0xDC00);
            } else {
                pos_ = save;
            }
        }
        if (character >= 0xD800 && character <= 0xDFFF) character = 0xFFFD; // half a pair
        emit(character, start);
    }

    // Skips the fallback of a \uN escape: as many characters as \uc says, a \'xx counting
    // as one; a group boundary ends it early.
    void skipFallback()
    {
        for (int left = state_.unicodeSkip; left > 0 && pos_ < rtf_.size(); --left) {
            const char c = rtf_[pos_];
            if (c == '{' || c == '}') break;
            if (c != '\\') {
                ++pos_;
                continue;
            }
            if (pos_ + 1 >= rtf_.size()) {
                pos_ = rtf_.size();
                break;
            }
            const char next = rtf_[pos_ + 1];
            if (next == '{' || next == '}') break;
            if (next == '\'') {
                pos_ += 2;
                readHexByte();
            } else if (RtfIsLetter(next)) {
                ++pos_;
                readControlWord();
            } else {
                pos_ += 2;
            }
        }
    }

    // The two hex digits of a \'xx escape; -1, reading nothing, when they are not there.
    int readHexByte()
    {
        if (pos_ + 2 > rtf_.size()) return -1;
        const int high = RtfHexValue(rtf_[pos_]);
        const int low = RtfHexValue(rtf_[pos_ + 1]);
        if (high < 0 || low < 0) return -1;
        pos_ += 2;
        return high * 16 + low;
    }

    int codePage() const
    {
        return state_.charset >= 0 ? CodePageOfCharset(state_.charset) : documentCodePage_;
    }

    void emit(char32_t character, std::size_t begin)
    {
        if (state_.skipped || stopped_) return;
        if (!visit_(TextUnit{character, begin, pos_})) stopped_ = true;
    }

    std::string_view rtf_;
    const std::function<bool(const TextUnit &)> &visit_;
    std::size_t pos_ = 0;
    bool stopped_ = false;
    bool groupStart_ = false;
    GroupState state_;
    std::vector<GroupState> stack_;
    int documentCodePage_ = 1252;
    long fontBeingDefined_ = 0;
    std::shared_ptr<const std::map<long, int>> fontCharsets_;
};

} // namespace

void ForEachTextUnit(std::string_view rtf, const std::function<bool(const TextUnit &)> &visit)
{
    Reader(rtf, visit).run();
}

void ForEachTextUnitFrom(std::string_view rtf, const ReadingPoint &point, std::size_t begin,
                         const std::function<bool(const TextUnit &)> &visit)
{
    Reader(rtf, visit, point, begin).run();
}

CharacterPlaces FindCharacter(std::string_view rtf, char32_t character, std::size_t limit)
{
    CharacterPlaces found;
    std::vector<CharacterPlace> open; // places whose lead is still being read
    std::shared_ptr<const ReadingPoint> last;
    // The reading point of a unit is the reader's state as it emits it: the unit's own
    // markup changes no state.
    const Reader *reader = nullptr;
    const std::function<bool(const TextUnit &)> visit = [&](const TextUnit &unit) {
        if (unit.character == character) {
            if (found.places.size() + open.size() == limit) {
                found.coveredUntil = unit.begin;
                return false;
            }
            last = reader->point(last);
            open.push_back({.begin = unit.begin, .point = last, .lead = {}, .leadEnd = 0});
        }
        for (CharacterPlace &place : open) {
            place.lead[place.leadLength++] = unit.character;
            place.leadEnd = unit.end;
        }
        while (!open.empty() && open.front().leadLength == kLeadLength) {
            found.places.push_back(std::move(open.front()));
            open.erase(open.begin());
        }
        return true;
    };
    Reader whole(rtf, visit);
    reader = &whole;
    whole.run();
    if (found.coveredUntil != std::string_view::npos) {
        // Stopped: the places whose lead was not read to its end are not listed either.
        if (!open.empty()) found.coveredUntil = open.front().begin;
        return found;
    }
    // Places near the end have a shorter lead: no longer pattern starts there.
    for (CharacterPlace &place : open)
        found.places.push_back(std::move(place));
    return found;
}

bool RtfIsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int RtfHexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

RtfControlWord ReadRtfControlWord(std::string_view rtf, std::size_t &pos)
{
    RtfControlWord word;
    const std::size_t begin = pos;
    while (pos < rtf.size() && RtfIsLetter(rtf[pos]) && pos - begin < 32)
        ++pos;
    word.word = rtf.substr(begin, pos - begin);
    bool negative = false;
    if (pos + 1 < rtf.size() && rtf[pos] == '-' && IsDigit(rtf[pos + 1])) {
        negative = true;
        ++pos;
    }
    const std::size_t digits = pos;
    while (pos < rtf.size() && IsDigit(rtf[pos]) && pos - digits < 10) {
        word.parameter = word.parameter * 10 + (rtf[pos] - '0');
        ++pos;
    }
    word.hasParameter = pos > digits;
    if (negative) word.parameter = -word.parameter;
    if (pos < rtf.size() && rtf[pos] == ' ') {
        word.delimited = true;
        ++pos;
    }
    return word;
}

char32_t RtfCodePageCharacter(unsigned char byte, int codePage)
{
    return DecodeByte(byte, codePage);
}

std::string RtfPlainText(std::string_view rtf)
{
    std::string text;
    ForEachTextUnit(rtf, [&text](const TextUnit &unit) {
        AppendUtf8(text, unit.character);
        return true;
    });
    return text;
}

std::string RtfEscape(std::string_view text)
{
    std::string rtf;
    for (const char32_t c : DecodeUtf8(text)) {
        if (c == '\\' || c == '{' || c == '}') {
            rtf += '\\';
            rtf += static_cast<char>(c);
        } else if (c == '\n') {
            rtf += "\\line ";
        } else if (c == '\t') {
            rtf += "\\tab ";
        } else if (c < 0x20) {
            continue; // other control characters have no place in a document's text
        } else if (c < 0x80) {
            rtf += static_cast<char>(c);
        } else {
            auto escape = [&rtf](char32_t unit) {
                const int value =
                    unit > 0x7FFF ? static_cast<int>(unit) - 0x10000 : static_cast<int>(unit);
                rtf += "\\u" + std::to_string(value) + '?';
            };
            if (c >= 0x10000) {
                escape(0xD800 + ((c - 0x10000) >> 10));
                escape(0xDC00 + ((c - 0x10000) & 0x3FF));
            } else {
                escape(c);
            }
        }
    }
    return rtf;
}
