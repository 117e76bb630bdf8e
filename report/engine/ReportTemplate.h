#pragma once

#include <filesystem>

// Where the report template lies for a program in `programFolder`: beside it, as a build
// and an unpacked tree have it, or in the data folder of an installed program. Where
// neither holds one, the path beside the program, for the user's message.
std::filesystem::path FindReportTemplate(const std::filesystem::path &programFolder);
