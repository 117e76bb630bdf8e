#pragma once

#include <filesystem>
#include <optional>
#include <string>

// Where LibreOffice keeps its programs and its runtime on Debian.
inline constexpr const char *kOfficeProgramFolder = "/usr/lib/libreoffice/program";

// The office's program: `configured` where it names one (nothing when that is not an
// executable), else soffice on the PATH, else the one in LibreOffice's own folder; nothing
// where no office is installed.
std::optional<std::filesystem::path> FindOfficeProgram(const std::string &configured = {});
