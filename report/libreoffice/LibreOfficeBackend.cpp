#include "LibreOfficeWordProcessor.h"
#include "OfficeBackend.h"

namespace {

LibreOfficeOptions &Options()
{
    static LibreOfficeOptions options;
    return options;
}

} // namespace

void SetLibreOfficeOptions(const LibreOfficeOptions &options) { Options() = options; }

std::unique_ptr<WordProcessor> CreateOfficeWordProcessor()
{
    return LibreOfficeWordProcessor::Connect(Options());
}
