#include "report/OfficeBackend.h"
#include "report/libreoffice/LibreOfficeWordProcessor.h"

OfficeConnection ConnectOffice(const OfficeOptions &options, const std::shared_ptr<OfficeRun> &run)
{
    LibreOfficeWordProcessor::Connection connection =
        LibreOfficeWordProcessor::connect(options, run);
    return {.processor = std::move(connection.office),
            .failed = connection.failed,
            .ended = connection.ended};
}

void EndOffice(OfficeRun &run)
{
    EndRunsOffice(run);
}
