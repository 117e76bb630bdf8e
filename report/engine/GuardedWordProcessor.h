#pragma once

#include "report/engine/WordProcessor.h"

#include <memory>

// Any backend behind one guard: whatever a call throws is a false, so nothing a backend
// does can escape into the program.
class GuardedWordProcessor : public WordProcessor {
public:
    explicit GuardedWordProcessor(std::unique_ptr<WordProcessor> backend)
        : backend_(std::move(backend))
    {
    }

    bool SetWordVisible(bool visible) override;
    bool OpenDocument(const std::filesystem::path &path) override;
    bool SelectionToStart() override;
    bool ReplacePlaceholder(std::string_view placeholder, std::string_view value) override;
    bool replaceWithPicture(std::string_view placeholder, const std::string &png, int widthTwips,
                            int heightTwips) override;
    bool removeParagraphOf(std::string_view placeholder) override;
    void endStartedProgram() noexcept override;

    WordProcessor *backend() const { return backend_.get(); }

private:
    std::unique_ptr<WordProcessor> backend_;
};
