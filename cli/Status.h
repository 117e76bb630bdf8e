#pragma once

#include <string>

// How a run of telmar-calc ends: its exit status.
enum class Status { ok = 0, arithmeticFault = 1, badInput = 2, reportFailed = 3, outputFailed = 4 };

// Ends the run: what was computed so far is still written, then the message.
struct Stop {
    Status status;
    std::string message;
};

[[noreturn]] inline void Fail(Status status, const std::string &message)
{
    throw Stop{status, message};
}
