#include "report/libreoffice/LibreOfficeWordProcessor.h"
#include "report/OfficeBackend.h"

std::unique_ptr<WordProcessor> CreateOfficeWordProcessor(const OfficeOptions &options, bool &failed)
{
    return LibreOfficeWordProcessor::Connect(options, &failed);
}
