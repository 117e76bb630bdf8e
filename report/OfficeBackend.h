#pragma once

#include "report/ReportSettings.h"
#include "report/engine/WordProcessor.h"

#include <QString>

#include <atomic>
#include <memory>

// What a run keeps of the office it started for its reports: the pipe that office listens
// on, and its process, which a later report that reaches it again still ends should it fail.
struct OfficeRun {
    QString pipeName;                      // made at the first start; empty until then
    std::atomic<qint64> startedProcess{0}; // 0: none of this run's is known to be running
    // The run's office was ended as the program ends: none is started or waited for any more.
    std::atomic<bool> over{false};
};

// How reaching the office went: its word processor, or none; `failed` tells an office that
// was there and was tried, but did not answer, from one that is not there at all.
struct OfficeConnection {
    std::unique_ptr<WordProcessor> processor = nullptr;
    bool failed = false;
    bool ended = false; // the office started for it ended before it answered
};

// The office suite's word processor, where the program was built with it and one answers.
OfficeConnection ConnectOffice(const OfficeOptions &options, const std::shared_ptr<OfficeRun> &run);

// Ends the office `run` started, with its process group, if it still runs, and starts no
// other for it: a report that is abandoned, or an office still starting as the program
// ends, leaves nothing behind and is not waited for.
void EndOffice(OfficeRun &run);
