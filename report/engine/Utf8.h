#pragma once

#include <string>
#include <string_view>

// UTF-8 in and out, for the RTF engine: the report's text is UTF-8, RTF speaks in code points.

// Decodes leniently: a malformed sequence reads as U+FFFD.
std::u32string DecodeUtf8(std::string_view text);

// Appends `character`; a surrogate or a value beyond Unicode is written as U+FFFD.
void AppendUtf8(std::string &out, char32_t character);
