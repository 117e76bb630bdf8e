#include "report/OfficeBackend.h"

#include "report/engine/WordProcessor.h"

// Built without an office suite's SDK: the built-in engine is the only word processor.
OfficeConnection ConnectOffice(const OfficeOptions &, const std::shared_ptr<OfficeRun> &)
{
    return {};
}

void EndOffice(OfficeRun &) {}
