#include "RtfWordProcessor.h"

#include <fstream>
#include <iterator>
#include <system_error>

bool RtfWordProcessor::SetWordVisible(bool visible)
{
    if (!visible) return true; // nothing is on screen until the document is shown
    if (!document_ || !presenter_) return false;
    return presenter_(document_->rtf());
}

bool RtfWordProcessor::OpenDocument(const std::filesystem::path &path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    const auto size = std::filesystem::file_size(path, error);
    if (error || size > kLargestDocument) return false;
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::string rtf;
    rtf.reserve(static_cast<std::size_t>(size));
    rtf.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (file.bad()) return false;
    document_.emplace(std::move(rtf));
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
