#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

// A document converted to PDF by the office, or why not.
struct PdfConversion {
    enum class Failure {
        none,
        cannotStart, // the office could not be started, or the scratch folder made
        timedOut,    // the office took longer than it was given and was ended
        cancelled,   // the caller gave up on it
        failed,      // the office ended without a PDF
    };
    Failure failure = Failure::none;
    std::string detail; // the system's reason, or the office's last words
    std::string pdf;    // the PDF itself
};

// The conversion's customary time: an office starting on a profile of its own takes
// seconds, a large report a few more.
inline constexpr std::chrono::seconds kPdfDeadline{120};

// Converts the RTF document `rtf` to PDF with `office`, headless and on a profile of its own
// in a private scratch folder, so that it meets neither the user's running office nor another
// conversion. The office runs in a process group of its own, which is ended whole when the
// conversion ends, outlasts `deadline`, or `keepGoing` (asked every 50 ms) says to stop; it is
// always reaped, and the scratch folder removed.
PdfConversion ConvertToPdf(const std::filesystem::path &office, std::string_view rtf,
                           std::chrono::milliseconds deadline = kPdfDeadline,
                           const std::function<bool()> &keepGoing = {});
