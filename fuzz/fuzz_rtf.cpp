// Any bytes as a document with any placeholder and value: no crash, no hang, no read
// outside the buffer, and read as blocks for the program's own pages as well; braces that
// were balanced stay balanced; after a replacement the text reads as before with the value
// where the placeholder stood, and after the placeholder's paragraph is taken out, without
// it; and a second search through the document's index finds what a fresh reading finds.

#include "fuzz/FuzzCheck.h"
#include "report/engine/RtfBlocks.h"
#include "report/engine/RtfDocument.h"
#include "report/engine/RtfText.h"
#include "report/engine/Utf8.h"

#include <cstdint>
#include <string>

namespace {

bool BracesBalanced(std::string_view rtf)
{
    long depth = 0;
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
            continue;
        }
        if (rtf[i] == '{') ++depth;
        if (rtf[i] == '}' && --depth < 0) return false;
    }
    return depth == 0;
}

std::u32string Text(std::string_view rtf)
{
    return DecodeUtf8(RtfPlainText(rtf));
}

// The value as the document's text will hold it: control characters other than line
// breaks and tabs are not text.
std::u32string AsText(std::string_view value)
{
    std::u32string text;
    for (const char32_t c : DecodeUtf8(value))
        if (c >= 0x20 || c == U'\n' || c == U'\t') text += c;
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // The input: a placeholder and a value, each led by its length, then the document.
    if (size < 2) return 0;
    const std::size_t placeholderLength = std::min<std::size_t>(data[0] % 16, size - 2);
    const std::size_t valueLength =
        std::min<std::size_t>(data[1] % 32, size - 2 - placeholderLength);
    const char *bytes = reinterpret_cast<const char *>(data) + 2;
    const std::string placeholder(bytes, placeholderLength);
    const std::string value(bytes + placeholderLength, valueLength);
    const std::string rtf(bytes + placeholderLength + valueLength,
                          size - 2 - placeholderLength - valueLength);

    const RtfBlocks blocks = ReadRtfBlocks(rtf);
    for (const RtfBlock &block : blocks.body)
        if (const auto *row = std::get_if<RtfRow>(&block)) FUZZ_CHECK(!row->cells.empty());

    RtfDocument document(rtf);
    const std::u32string before = Text(rtf);
    const std::u32string pattern = DecodeUtf8(placeholder);

    // The placeholder's paragraph taken out, where it can be: the text reads as before
    // without the placeholder and the paragraph's break, braces stay balanced, and the index
    // finds what a fresh reading finds.
    RtfDocument removing(rtf);
    if (removing.removeParagraphOf(placeholder)) {
        const std::size_t at = before.find(pattern);
        FUZZ_CHECK(at != std::u32string::npos && at + pattern.size() < before.size());
        FUZZ_CHECK(Text(removing.rtf()) ==
                   before.substr(0, at) + before.substr(at + pattern.size() + 1));
        if (rtf.find("\\bin") == std::string::npos && BracesBalanced(rtf))
            FUZZ_CHECK(BracesBalanced(removing.rtf()));
        const std::string other = placeholder.substr(0, placeholder.size() - 1) + "#";
        RtfDocument fresh(removing.rtf());
        removing.selectionToStart();
        FUZZ_CHECK(removing.replace(other, value) == fresh.replace(other, value));
        FUZZ_CHECK(removing.rtf() == fresh.rtf());
    } else {
        FUZZ_CHECK(removing.rtf() == rtf);
    }
    if (!document.replace(placeholder, value)) {
        FUZZ_CHECK(document.rtf() == rtf);
        FUZZ_CHECK(pattern.empty() || before.find(pattern) == std::u32string::npos);
        return 0;
    }
    // Binary data (\bin) may hold any bytes, braces too: there braces are not counted.
    if (rtf.find("\\bin") == std::string::npos && BracesBalanced(rtf))
        FUZZ_CHECK(BracesBalanced(document.rtf()));
    const std::size_t at = before.find(pattern);
    FUZZ_CHECK(at != std::u32string::npos);
    const std::u32string expected =
        before.substr(0, at) + AsText(value) + before.substr(at + pattern.size());
    FUZZ_CHECK(Text(document.rtf()) == expected);
    FUZZ_CHECK(document.selection() <= document.rtf().size());

    // The next search from the top goes by the places the first search indexed; it must
    // find what a document read afresh finds, and change it the same way.
    RtfDocument fresh(document.rtf());
    document.selectionToStart();
    const bool again = document.replace(placeholder, value);
    FUZZ_CHECK(again == fresh.replace(placeholder, value));
    FUZZ_CHECK(document.rtf() == fresh.rtf());
    FUZZ_CHECK(document.selection() == fresh.selection());

    // Another placeholder of the same first character, whose lead the replacements may
    // have changed.
    const std::string other = placeholder.substr(0, placeholder.size() - 1) + "#";
    RtfDocument fresher(document.rtf());
    document.selectionToStart();
    FUZZ_CHECK(document.replace(other, value) == fresher.replace(other, value));
    FUZZ_CHECK(document.rtf() == fresher.rtf());
    return 0;
}
