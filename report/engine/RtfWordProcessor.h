#pragma once

#include "report/engine/RegularFile.h"
#include "report/engine/RtfDocument.h"
#include "report/engine/WordProcessor.h"

#include <functional>
#include <optional>
#include <string>

// The built-in word processor: an RTF document engine of the program's own. Showing the
// document is handed to a presenter, which gets the filled document's markup.
class RtfWordProcessor : public WordProcessor {
public:
    using Presenter = std::function<bool(const std::string &rtf)>;

    // Templates beyond this size are refused rather than read.
    static constexpr std::uintmax_t kLargestDocument = kLargestTemplate;

    explicit RtfWordProcessor(Presenter presenter = {}) : presenter_(std::move(presenter)) {}

    bool SetWordVisible(bool visible) override;
    bool OpenDocument(const std::filesystem::path &path) override;
    bool SelectionToStart() override;
    bool ReplacePlaceholder(std::string_view placeholder, std::string_view value) override;
    bool replaceWithPicture(std::string_view placeholder, const std::string &png, int widthTwips,
                            int heightTwips) override;
    bool removeParagraphOf(std::string_view placeholder) override;

private:
    Presenter presenter_;
    std::optional<RtfDocument> document_;
};
