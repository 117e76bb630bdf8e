#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Templates beyond this size are refused rather than read.
inline constexpr std::uintmax_t kLargestTemplate = 256u << 20;

// Why a file cannot serve as a template, or nothing when it can: it must be a regular,
// readable file of at most `limit` bytes. Special files are looked at without waiting.
enum class FileProblem { missing, notRegular, tooLarge, unreadable };
std::optional<FileProblem> RegularFileProblem(const std::filesystem::path &path,
                                              std::uintmax_t limit = kLargestTemplate);

// The whole of a regular file of at most `limit` bytes; nothing for anything else: a
// folder, a FIFO or a device (never waited on), an unreadable file, or one that outgrows
// the limit while it is read.
std::optional<std::string> ReadRegularFile(const std::filesystem::path &path,
                                           std::uintmax_t limit = kLargestTemplate);

// Writes all of `data` to `fd`, on through interruptions; false with errno set when a write
// fails (errno 0 for a write that wrote nothing).
bool WriteAll(int fd, std::string_view data);
