// The drawing module's entries, loaded for a picture or a report alone, so that a plain
// calculation never loads Qt.

#include "cli/Commands.h"

#include <dlfcn.h>
#include <filesystem>

namespace fs = std::filesystem;

void *DrawingEntry(const char *entry)
{
    const fs::path program = fs::read_symlink("/proc/self/exe").parent_path();
    const fs::path name = "libtelmar-drawing.so";
    for (const fs::path &module :
         {program / name, program / ".." / TELMAR_LIBDIR / "telmar" / name}) {
        std::error_code missing;
        if (!fs::is_regular_file(module, missing)) continue;
        // The module stays loaded: Qt does not go away cleanly before the process does.
        void *handle = ::dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
        return handle ? ::dlsym(handle, entry) : nullptr;
    }
    return nullptr;
}

void KeepDrawn(void *context, const char *data, std::size_t size)
{
    static_cast<std::string *>(context)->assign(data, size);
}
