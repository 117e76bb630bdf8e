#include "report/OfficeBackend.h"
#include "report/libreoffice/LibreOfficeWordProcessor.h"

std::unique_ptr<WordProcessor> CreateOfficeWordProcessor(const OfficeOptions &options, bool &failed)
{
    return LibreOfficeWordProcessor::Connect(options, &failed);
}
