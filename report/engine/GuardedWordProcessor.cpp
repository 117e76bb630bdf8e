#include "report/engine/GuardedWordProcessor.h"

namespace {

template <typename Call> bool Guarded(Call &&call) noexcept
{
    try {
        return call();
    } catch (...) {
        return false;
    }
}

} // namespace

bool GuardedWordProcessor::SetWordVisible(bool visible)
{
    return Guarded([&] { return backend_ && backend_->SetWordVisible(visible); });
}

bool GuardedWordProcessor::OpenDocument(const std::filesystem::path &path)
{
    return Guarded([&] { return backend_ && backend_->OpenDocument(path); });
}

bool GuardedWordProcessor::SelectionToStart()
{
    return Guarded([&] { return backend_ && backend_->SelectionToStart(); });
}

bool GuardedWordProcessor::ReplacePlaceholder(std::string_view placeholder, std::string_view value)
{
    return Guarded([&] { return backend_ && backend_->ReplacePlaceholder(placeholder, value); });
}

bool GuardedWordProcessor::replaceWithPicture(std::string_view placeholder, const std::string &png,
                                              int widthTwips, int heightTwips)
{
    return Guarded([&] {
        return backend_ && backend_->replaceWithPicture(placeholder, png, widthTwips, heightTwips);
    });
}

bool GuardedWordProcessor::removeParagraphOf(std::string_view placeholder)
{
    return Guarded([&] { return backend_ && backend_->removeParagraphOf(placeholder); });
}

void GuardedWordProcessor::endStartedProgram() noexcept
{
    if (backend_) backend_->endStartedProgram();
}
