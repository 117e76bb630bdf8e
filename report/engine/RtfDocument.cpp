#include "report/engine/RtfDocument.h"

#include "report/engine/RtfText.h"
#include "report/engine/Utf8.h"

#include <algorithm>
#include <deque>
#include <optional>
#include <vector>

namespace {

// Where the text of `pattern` begins, as its text units; found by a forward scan with
// Knuth–Morris–Pratt, so the document is read once and no further than needed.
std::vector<TextUnit> FindForward(std::string_view rtf, std::size_t from,
                                  const std::u32string &pattern)
{
    std::vector<std::size_t> failure(pattern.size(), 0);
    for (std::size_t i = 1, k = 0; i < pattern.size(); ++i) {
        while (k > 0 && pattern[i] != pattern[k])
            k = failure[k - 1];
        if (pattern[i] == pattern[k]) ++k;
        failure[i] = k;
    }

    std::deque<TextUnit> recent; // the units of the partial match so far
    std::vector<TextUnit> found;
    std::size_t matched = 0;
    ForEachTextUnit(rtf, [&](const TextUnit &unit) {
        if (unit.begin < from) return true;
        while (matched > 0 && unit.character != pattern[matched])
            matched = failure[matched - 1];
        if (unit.character == pattern[matched]) ++matched;
        recent.push_back(unit);
        while (recent.size() > matched)
            recent.pop_front();
        if (matched < pattern.size()) return true;
        found.assign(recent.begin(), recent.end());
        return false;
    });
    return found;
}

// The index lists the places of a search's first character up to this many; beyond them
// the document is read through. Searches look only at the places whose lead is the
// pattern's, so a flood of that character elsewhere costs nothing but the listing.
constexpr std::size_t kMostIndexedPlaces = 1 << 20;

bool Before(const CharacterPlace &place, std::size_t from)
{
    return place.begin < from;
}

// A control word of the markup, its blank delimiter included.
struct ControlWord {
    std::size_t begin;
    std::size_t end;
    std::string_view name;
    std::string parameter; // as written: empty, or the number
};

// The control word whose backslash stands at `at`, or none: an escaped backslash (one of an
// odd run) begins none.
std::optional<ControlWord> ControlWordAt(std::string_view rtf, std::size_t at)
{
    if (at + 1 >= rtf.size() || rtf[at] != '\\' || !RtfIsLetter(rtf[at + 1])) return std::nullopt;
    std::size_t backslashes = 0;
    while (backslashes < at && rtf[at - 1 - backslashes] == '\\')
        ++backslashes;
    if (backslashes % 2 != 0) return std::nullopt;
    std::size_t end = at + 1;
    const RtfControlWord word = ReadRtfControlWord(rtf, end);
    return ControlWord{at, end, word.word,
                       word.hasParameter ? std::to_string(word.parameter) : std::string()};
}

// The words that end a paragraph, a line, a table's cell or row, a page or a section.
bool Breaks(const ControlWord &word)
{
    for (const std::string_view name : {"par", "line", "cell", "row", "page", "sect"})
        if (word.name == name) return true;
    return false;
}

// The nearest break before `at` and the first from `at` on, found in the markup.
std::optional<ControlWord> BreakBefore(std::string_view rtf, std::size_t at)
{
    while (at > 0) {
        at = rtf.rfind('\\', at - 1);
        if (at == std::string_view::npos) return std::nullopt;
        if (const auto word = ControlWordAt(rtf, at); word && Breaks(*word)) return word;
    }
    return std::nullopt;
}
std::optional<ControlWord> BreakFrom(std::string_view rtf, std::size_t at)
{
    for (at = rtf.find('\\', at); at != std::string_view::npos; at = rtf.find('\\', at + 1))
        if (const auto word = ControlWordAt(rtf, at); word && Breaks(*word)) return word;
    return std::nullopt;
}

// Whether the markup, read on its own, holds no text.
bool Textless(std::string_view markup)
{
    bool text = false;
    ForEachTextUnit(markup, [&text](const TextUnit &) { return !(text = true); });
    return !text;
}

// What of the markup a reading carries past it, where the markup closes every group it
// opens and none it does not: its outermost \uc, \f and \ansicpg, as markup to the same
// effect. None where it is not so closed, or where it defines fonts or holds binary data.
std::optional<std::string> CarriedOver(std::string_view markup)
{
    std::string carried;
    int depth = 0;
    for (std::size_t i = 0; i < markup.size(); ++i) {
        if (markup[i] == '{') {
            ++depth;
        } else if (markup[i] == '}') {
            if (--depth < 0) return std::nullopt;
        } else if (markup[i] == '\\') {
            const auto word = ControlWordAt(markup, i);
            if (!word) {
                ++i; // \{, \} and \\ are characters
                continue;
            }
            if (word->name == "bin" || word->name == "fonttbl") return std::nullopt;
            if (depth == 0 && (word->name == "uc" || word->name == "f" || word->name == "ansicpg"))
                carried += "\\" + std::string(word->name) + word->parameter + " ";
            i = word->end - 1;
        }
    }
    if (depth != 0) return std::nullopt;
    return carried;
}

// Whether the markup from `at` begins a paragraph that sets its own formatting, or a table's
// row, so that none of the formatting before it carries over; what paragraphs taken out
// before it carried over may come first.
bool RestatesFormatting(std::string_view rtf, std::size_t at)
{
    std::optional<ControlWord> first;
    for (;;) {
        at = std::min(rtf.find_first_not_of(" \r\n", at), rtf.size());
        first = ControlWordAt(rtf, at);
        if (!first || (first->name != "uc" && first->name != "f" && first->name != "ansicpg"))
            break;
        at = first->end;
    }
    if (first && first->name == "trowd") return true;
    if (!first || first->name != "pard") return false;
    const auto second = ControlWordAt(rtf, first->end);
    return second && second->name == "plain";
}

} // namespace

std::vector<TextUnit> RtfDocument::find(const std::u32string &pattern)
{
    if (!index_ || index_->character != pattern.front()) {
        CharacterPlaces found = FindCharacter(rtf_, pattern.front(), kMostIndexedPlaces);
        index_ = Index{.character = pattern.front(),
                       .byLead = {},
                       .shortLeads = {},
                       .coveredUntil = found.coveredUntil};
        for (CharacterPlace &place : found.places)
            reindex(std::move(place));
    }
    // A pattern shorter than a lead, and the places beyond the index, are read through.
    if (pattern.size() < kLeadLength) return FindForward(rtf_, selection_, pattern);
    std::array<char32_t, kLeadLength> lead{};
    std::copy_n(pattern.begin(), kLeadLength, lead.begin());
    if (const auto list = index_->byLead.find(lead); list != index_->byLead.end()) {
        std::vector<TextUnit> units;
        for (auto place =
                 std::lower_bound(list->second.begin(), list->second.end(), selection_, Before);
             place != list->second.end(); ++place) {
            units.clear();
            ForEachTextUnitFrom(rtf_, *place->point, place->begin, [&](const TextUnit &unit) {
                if (unit.character != pattern[units.size()]) return false;
                units.push_back(unit);
                return units.size() < pattern.size();
            });
            if (units.size() == pattern.size()) return units;
        }
    }
    if (index_->coveredUntil == std::string::npos) return {};
    return FindForward(rtf_, std::max(selection_, index_->coveredUntil), pattern);
}

// Files a place under its lead, in order.
void RtfDocument::reindex(CharacterPlace place)
{
    std::vector<CharacterPlace> &list =
        place.leadLength < kLeadLength ? index_->shortLeads : index_->byLead[place.lead];
    const auto at = std::lower_bound(list.begin(), list.end(), place.begin, Before);
    list.insert(at, std::move(place));
}

// Keeps the index true after the markup from `begin` to `oldEnd` became `newLength` bytes.
// What follows reads as before: the new markup is balanced groups and the old gaps. A place
// just before whose lead reached into the change reads its lead afresh.
void RtfDocument::replaced(std::size_t begin, std::size_t oldEnd, std::size_t newLength)
{
    if (!index_) return;
    const auto moved = [&](std::size_t offset) { return offset - oldEnd + begin + newLength; };
    std::vector<CharacterPlace> changedLeads;
    const auto update = [&](std::vector<CharacterPlace> &list) {
        std::vector<CharacterPlace> kept;
        kept.reserve(list.size());
        for (CharacterPlace &place : list) {
            if (place.begin >= begin && place.begin < oldEnd) continue; // replaced
            if (place.begin >= oldEnd) {
                place.begin = moved(place.begin);
                place.leadEnd = moved(place.leadEnd);
            } else if (place.leadEnd > begin) {
                changedLeads.push_back(std::move(place));
                continue;
            }
            kept.push_back(std::move(place));
        }
        list = std::move(kept);
    };
    for (auto &[lead, list] : index_->byLead)
        update(list);
    update(index_->shortLeads);
    if (index_->coveredUntil != std::string::npos && index_->coveredUntil >= oldEnd)
        index_->coveredUntil = moved(index_->coveredUntil);
    else if (index_->coveredUntil != std::string::npos && index_->coveredUntil > begin)
        index_->coveredUntil = begin;
    for (CharacterPlace &place : changedLeads) {
        place.leadLength = 0;
        ForEachTextUnitFrom(rtf_, *place.point, place.begin, [&](const TextUnit &unit) {
            place.lead[place.leadLength++] = unit.character;
            place.leadEnd = unit.end;
            return place.leadLength < kLeadLength;
        });
        reindex(std::move(place));
    }
}

std::string RtfDocument::plainText() const
{
    return RtfPlainText(rtf_);
}

bool RtfDocument::replace(std::string_view placeholder, std::string_view value)
{
    // The value takes the place of the first character, as a group of its own so that it
    // cannot run into the markup around it.
    const std::string escaped = RtfEscape(value);
    const bool unicode = escaped.find("\\u") != std::string::npos;
    std::string group = (unicode ? "{\\uc1 " : "{") + escaped + "}";
    if (escaped.empty()) group = "{}";
    if (!replaceWith(placeholder, group)) return false;
    // A value that holds the indexed character brings places the index does not know.
    if (index_ && DecodeUtf8(value).find(index_->character) != std::u32string::npos) index_.reset();
    return true;
}

bool RtfDocument::replaceWithPicture(std::string_view placeholder, std::string_view png,
                                     int widthTwips, int heightTwips)
{
    // A PNG picture at the size given: both Writer and Word read \pngblip with the goal size.
    static constexpr char kHex[] = "0123456789abcdef";
    std::string group = "{\\pict\\pngblip\\picw" + std::to_string(widthTwips) + "\\pich" +
                        std::to_string(heightTwips) + "\\picwgoal" + std::to_string(widthTwips) +
                        "\\pichgoal" + std::to_string(heightTwips) + "\n";
    group.reserve(group.size() + png.size() * 2 + png.size() / 64 + 2);
    for (std::size_t i = 0; i < png.size(); ++i) {
        const auto byte = static_cast<unsigned char>(png[i]);
        group += kHex[byte >> 4];
        group += kHex[byte & 15];
        if (i % 64 == 63) group += '\n';
    }
    group += '}';
    return replaceWith(placeholder, group);
}

bool RtfDocument::removeParagraphOf(std::string_view placeholder)
{
    const std::u32string pattern = DecodeUtf8(placeholder);
    if (pattern.empty()) return false;
    const std::vector<TextUnit> units = find(pattern);
    if (units.empty()) return false;

    // The paragraph is found in the markup around the placeholder, not by reading the
    // document from the top: from the break before it, a paragraph's, a row's or a
    // section's, to the \par after it, with no text between them but the placeholder.
    const std::string_view rtf = rtf_;
    const auto before = BreakBefore(rtf, units.front().begin);
    const auto after = BreakFrom(rtf, units.back().end);
    if (!before || !after || before->name == "cell" || before->name == "line" ||
        after->name != "par" ||
        !Textless(rtf.substr(before->end, units.front().begin - before->end)) ||
        !Textless(rtf.substr(units.back().end, after->begin - units.back().end)) ||
        !RestatesFormatting(rtf, after->end))
        return false;
    const std::size_t begin = before->end;
    const std::size_t end = after->end;
    const std::optional<std::string> carried = CarriedOver(rtf.substr(begin, end - begin));
    if (!carried) return false;
    // What the paragraph's markup carried on to the reading of what follows stays, so that
    // the rest reads as before and the places of the index only move.
    rtf_.replace(begin, end - begin, *carried);
    selection_ = begin + carried->size();
    replaced(begin, end, carried->size());
    return true;
}

bool RtfDocument::replaceWith(std::string_view placeholder, const std::string &group)
{
    const std::u32string pattern = DecodeUtf8(placeholder);
    if (pattern.empty()) return false;
    const std::vector<TextUnit> units = find(pattern);
    if (units.empty()) return false;

    // The group takes the place of the first character; the other characters go, and the
    // markup between them stays. Where removed characters sat between pieces of markup, an
    // empty group keeps those pieces apart, so that neither is read differently: a control
    // word that ended at the removed character, a broken escape, or the first token of a
    // group.
    std::string region = group;
    const std::size_t insertedLength = region.size();
    for (std::size_t i = 1; i < units.size(); ++i) {
        const std::size_t gap = units[i].begin - units[i - 1].end;
        if (gap == 0) continue;
        region.append(rtf_, units[i - 1].end, gap);
        region += "{}";
    }
    const std::size_t regionBegin = units.front().begin;
    const std::size_t regionEnd = units.back().end;
    rtf_.replace(regionBegin, regionEnd - regionBegin, region);
    selection_ = regionBegin + insertedLength;
    replaced(regionBegin, regionEnd, region.size());
    return true;
}
