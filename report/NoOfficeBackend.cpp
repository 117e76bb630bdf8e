#include "report/OfficeBackend.h"

#include "report/engine/WordProcessor.h"

// Built without an office suite's SDK: the built-in engine is the only word processor.
std::unique_ptr<WordProcessor> CreateOfficeWordProcessor(const OfficeOptions &, bool &failed)
{
    failed = false;
    return nullptr;
}
