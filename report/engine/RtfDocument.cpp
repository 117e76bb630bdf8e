#include "report/engine/RtfDocument.h"

#include "report/engine/RtfText.h"
#include "report/engine/Utf8.h"

#include <algorithm>
#include <cctype>
#include <deque>
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

// The control word a unit of the text is written as ("par", "cell"), or empty.
std::string_view ControlWordOf(std::string_view rtf, const TextUnit &unit)
{
    if (unit.end - unit.begin < 2 || rtf[unit.begin] != '\\') return {};
    std::size_t end = unit.begin + 1;
    while (end < unit.end &&
           ((rtf[end] >= 'a' && rtf[end] <= 'z') || (rtf[end] >= 'A' && rtf[end] <= 'Z')))
        ++end;
    return rtf.substr(unit.begin + 1, end - unit.begin - 1);
}

// Whether the markup closes every group it opens and none it does not.
bool Balanced(std::string_view markup)
{
    int depth = 0;
    for (std::size_t i = 0; i < markup.size(); ++i) {
        if (markup[i] == '\\') {
            ++i; // \{, \} and \\ are characters
        } else if (markup[i] == '{') {
            ++depth;
        } else if (markup[i] == '}' && --depth < 0) {
            return false;
        }
    }
    return depth == 0;
}

// Whether the markup from `at` begins a paragraph or a row that sets its own formatting,
// so that none of what went before it carries over.
bool RestatesFormatting(std::string_view rtf, std::size_t at)
{
    at = std::min(rtf.find_first_not_of(" \r\n", at), rtf.size());
    const std::string_view next = rtf.substr(at);
    for (const std::string_view word : {std::string_view("\\pard"), std::string_view("\\trowd")})
        if (next.starts_with(word) &&
            (next.size() == word.size() ||
             !std::isalpha(static_cast<unsigned char>(next[word.size()]))))
            return true;
    return false;
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

    // The break before the placeholder that ends a paragraph, a row, a section or a cell, and
    // the first such after it; a line break inside the paragraph is neither.
    std::optional<TextUnit> before;
    std::optional<TextUnit> after;
    std::size_t characters = 0; // of the paragraph, the placeholder's among them
    ForEachTextUnit(rtf_, [&](const TextUnit &unit) {
        const std::string_view word = ControlWordOf(rtf_, unit);
        if ((unit.character != U'\n' && unit.character != U'\t') || word == "line" ||
            word == "tab") {
            ++characters;
            return true;
        }
        if (unit.end <= units.front().begin) {
            before = unit;
            characters = 0;
            return true;
        }
        after = unit;
        return false;
    });
    // Only a paragraph of the placeholder alone goes, never text that shares it.
    if (!before || !after || characters != units.size() || ControlWordOf(rtf_, *before) == "cell" ||
        ControlWordOf(rtf_, *after) != "par")
        return false;
    const std::size_t begin = before->end;
    const std::size_t end = after->end;
    if (!Balanced(std::string_view(rtf_).substr(begin, end - begin)) ||
        !RestatesFormatting(rtf_, end))
        return false;
    rtf_.erase(begin, end - begin);
    selection_ = begin;
    // What follows reads as it did, but the places are found again rather than moved: the
    // paragraph may have changed what a reading carries over, such as the font.
    index_.reset();
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
