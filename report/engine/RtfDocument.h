#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// An RTF document in memory with a selection, as a word processor holds one: a search
// runs forward from the selection through the document's text, and a replacement keeps
// every group and control word of the markup around and inside the text it replaces.
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

private:
    std::string rtf_;
    std::size_t selection_ = 0;
};
