#include "report/engine/RtfWordProcessor.h"

#include "report/engine/RegularFile.h"

bool RtfWordProcessor::SetWordVisible(bool visible)
{
    if (!visible) return true; // nothing is on screen until the document is shown
    if (!document_ || !presenter_) return false;
    return presenter_(document_->rtf());
}

bool RtfWordProcessor::OpenDocument(const std::filesystem::path &path)
{
    std::optional<std::string> rtf = ReadRegularFile(path, kLargestDocument);
    if (!rtf) return false;
    document_.emplace(std::move(*rtf));
    return true;
}

bool RtfWordProcessor::SelectionToStart()
{
    if (!document_) return false;
    document_->selectionToStart();
    return true;
}

bool RtfWordProcessor::ReplacePlaceholder(std::string_view placeholder, std::string_view value)
{
    return document_ && document_->replace(placeholder, value);
}

bool RtfWordProcessor::replaceWithPicture(std::string_view placeholder, const std::string &png,
                                          int widthTwips, int heightTwips)
{
    return document_ && document_->replaceWithPicture(placeholder, png, widthTwips, heightTwips);
}

bool RtfWordProcessor::removeParagraphOf(std::string_view placeholder)
{
    return document_ && document_->removeParagraphOf(placeholder);
}
