#pragma once

#include "report/ReportSettings.h"

#include <memory>

class WordProcessor;

// The office suite's word processor, where the program was built with it and one answers;
// null otherwise. `failed` tells an office that was there and was tried, but did not answer,
// from one that is not there at all.
std::unique_ptr<WordProcessor> CreateOfficeWordProcessor(const OfficeOptions &options,
                                                         bool &failed);
