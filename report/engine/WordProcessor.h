#pragma once

#include <filesystem>
#include <string_view>

// A word processor as the report drives it: one document, a selection in it, a forward
// search that replaces. Each call tells only whether it succeeded; GuardedWordProcessor
// turns anything a backend throws into false.
class WordProcessor {
public:
    virtual ~WordProcessor() = default;

    virtual bool SetWordVisible(bool visible) = 0;
    // Opens the document as a new, untitled one made from the file: the file itself is
    // never written.
    virtual bool OpenDocument(const std::filesystem::path &path) = 0;
    virtual bool SelectionToStart() = 0;
    // Replaces the first occurrence of `placeholder` after the selection with `value` and
    // leaves the selection after the inserted text; false when there is none.
    virtual bool ReplacePlaceholder(std::string_view placeholder, std::string_view value) = 0;
    // The same with a PNG picture shown at the size given, in twips.
    virtual bool replaceWithPicture(std::string_view placeholder, const std::string &png,
                                    int widthTwips, int heightTwips) = 0;
    // Removes the whole paragraph that holds the first occurrence of `placeholder` after the
    // selection, its spacing with it, and leaves the selection where it stood; false, changing
    // nothing, where the placeholder is not there or not in a paragraph of its own that can go.
    virtual bool removeParagraphOf(std::string_view /*placeholder*/) { return false; }
    // Ends the program this backend started for the report, where it started one: a
    // report that failed leaves nothing running behind it.
    virtual void endStartedProgram() noexcept {}
};
