#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// How a whole-file write ended: done, refused for what stands in the place, or failed.
struct WholeFileWrite {
    enum class Failure {
        none,
        notRegular,       // a FIFO, a device, a folder or a socket is in the place
        linkNotToRegular, // a link to one of those, or to nothing
        failed,           // the system said no; `reason` is errno's text
    };
    Failure failure = Failure::none;
    std::string reason; // in English, for a message; empty when written
    // The file the bytes go to: `path`, or the regular file its link leads to.
    std::filesystem::path target;

    bool written() const { return failure == Failure::none; }
};

// Where a write of `path` would go, or why it may not be made there, without writing.
WholeFileWrite WholeFileTarget(const std::filesystem::path &path);

// Writes `bytes` as the file `path`, whole or not at all: to a new file of a unique name
// beside it, synced, then renamed over it. A link to a regular file is written through
// (the link stays, the file it leads to is replaced); anything else in the place is
// refused, since the rename would replace it. An existing file keeps its permission bits,
// a new one gets 0666 less the umask.
WholeFileWrite WriteWholeFile(const std::filesystem::path &path, std::string_view bytes);
