#include "RtfDocument.h"

#include "RtfText.h"

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
        while (k > 0 && pattern[i] != pattern[k]) k = failure[k - 1];
        if (pattern[i] == pattern[k]) ++k;
        failure[i] = k;
    }

    std::deque<TextUnit> recent; // the units of the partial match so far
    std::vector<TextUnit> found;
    std::size_t matched = 0;
    ForEachTextUnit(rtf, [&](const TextUnit &unit) {
        if (unit.begin < from) return true;
        while (matched > 0 && unit.character != pattern[matched]) matched = failure[matched - 1];
        if (unit.character == pattern[matched]) ++matched;
        recent.push_back(unit);
        while (recent.size() > matched) recent.pop_front();
        if (matched < pattern.size()) return true;
        found.assign(recent.begin(), recent.end());
        return false;
    });
    return found;
}

} // namespace

std::string RtfDocument::plainText() const { return RtfPlainText(rtf_); }

bool RtfDocument::replace(std::string_view placeholder, std::string_view value)
{
    const std::u32string pattern = DecodeUtf8(placeholder);
    if (pattern.empty()) return false;
    const std::vector<TextUnit> units = FindForward(rtf_, selection_, pattern);
    if (units.empty()) return false;

    // The value takes the place of the first character, as a group of its own so that it
    // cannot run into the markup around it; the other characters go, the markup between
    // them stays. A character right after a control word without its blank leaves a blank,
    // or the word would swallow what follows; one that opens a group leaves an empty group,
    // or what follows would decide afresh whether the group is text.
    const std::string escaped = RtfEscape(value);
    const bool unicode = escaped.find("\\u") != std::string::npos;
    const std::string inserted =
        escaped.empty() ? std::string() : (unicode ? "{\\uc1 " : "{") + escaped + "}";
    const auto removed = [](const TextUnit &unit) {
        return unit.atGroupStart ? std::string("{}")
                                 : unit.afterBareControlWord ? std::string(" ") : std::string();
    };

    // The whole edit is one region of the markup, rewritten at once.
    const std::size_t regionBegin = units.front().begin;
    const std::size_t regionEnd = units.back().end;
    std::string region = inserted.empty() ? removed(units.front()) : inserted;
    const std::size_t insertedLength = region.size();
    for (std::size_t i = 1; i < units.size(); ++i) {
        region.append(rtf_, units[i - 1].end, units[i].begin - units[i - 1].end);
        region += removed(units[i]);
    }
    rtf_.replace(regionBegin, regionEnd - regionBegin, region);
    selection_ = regionBegin + insertedLength;
    return true;
}
