#pragma once

#include "report/engine/RtfText.h"

#include <array>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// An RTF document in memory with a selection, as a word processor holds one: a search
// runs forward from the selection through the document's text, and a replacement keeps
// every group and control word of the markup around and inside the text it replaces.
// The document is read once for the places of a search's first character, kept up to date
// across replacements, so that a report's searches from the top do not read it again.
class RtfDocument {
public:
    explicit RtfDocument(std::string rtf = {}) : rtf_(std::move(rtf)) {}

    const std::string &rtf() const { return rtf_; }
    std::string plainText() const;

    // The selection is an insertion point, a byte offset into the markup.
    std::size_t selection() const { return selection_; }
    void selectionToStart() { selection_ = 0; }

    // Replaces the first occurrence of `placeholder` (UTF-8 text) after the selection with
    // `value` (UTF-8 text, written as RTF), and leaves the selection right after it.
    // Returns false, changing nothing, when there is none.
    bool replace(std::string_view placeholder, std::string_view value);
    // The same with a PNG picture shown `widthTwips` by `heightTwips` in its place.
    bool replaceWithPicture(std::string_view placeholder, std::string_view png, int widthTwips,
                            int heightTwips);
    // Removes the paragraph that holds the first occurrence of `placeholder` after the
    // selection and nothing else, from the end of the break before it (a paragraph's, a
    // row's or a section's) to the end of its own \par, and leaves the selection there.
    // Only a paragraph whose markup closes every group it opens, and whose successor
    // restates its formatting (\pard\plain, or a table's \trowd), goes: false, changing
    // nothing, otherwise, and where the placeholder is not there or is in a table's cell.
    bool removeParagraphOf(std::string_view placeholder);

private:
    // The places of one character, by their leads, each list in order; begins and lead
    // ends as the markup stands now. Every place before `coveredUntil` is listed.
    struct Index {
        char32_t character;
        std::map<std::array<char32_t, kLeadLength>, std::vector<CharacterPlace>> byLead;
        std::vector<CharacterPlace> shortLeads; // at the end of the text
        std::size_t coveredUntil;
    };

    std::vector<TextUnit> find(const std::u32string &pattern);
    bool replaceWith(std::string_view placeholder, const std::string &group);
    void replaced(std::size_t begin, std::size_t oldEnd, std::size_t newLength);
    void reindex(CharacterPlace place);

    std::string rtf_;
    std::size_t selection_ = 0;
    std::optional<Index> index_;
};
