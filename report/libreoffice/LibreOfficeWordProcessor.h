#pragma once

#include "report/ReportSettings.h"
#include "report/engine/WordProcessor.h"

#include <QString>

#include <memory>

struct OfficeRun;

// LibreOffice Writer driven through UNO. Every call runs on a thread of its own and is
// waited for no longer than its deadline: an office that dies or hangs makes the calls
// return false, never the program freeze. Any UNO failure is a false. An office this
// object started runs in a process group of its own, reaped when it ends.
class LibreOfficeWordProcessor : public WordProcessor {
public:
    // How reaching the office went: the word processor, or none; `failed` tells an office
    // that was there and was tried, but did not answer, from one that is not there at all.
    struct Connection {
        std::unique_ptr<LibreOfficeWordProcessor> office = nullptr;
        bool failed = false;
        bool ended = false; // the office it started ended before it answered
    };

    // Starts the office or reaches the running one; none when there is none, when it could
    // never show a window (unless headless is asked for), or when it does not answer before
    // the deadline (failed then); an office started for it is ended then. Where the options
    // name no pipe, the office is `run`'s: started on its pipe, or reached again there and
    // ended as the run's should it fail.
    static Connection connect(const OfficeOptions &options, std::shared_ptr<OfficeRun> run = {});

    ~LibreOfficeWordProcessor() override;

    bool SetWordVisible(bool visible) override;
    bool OpenDocument(const std::filesystem::path &path) override;
    bool SelectionToStart() override;
    bool ReplacePlaceholder(std::string_view placeholder, std::string_view value) override;
    bool replaceWithPicture(std::string_view placeholder, const std::string &png, int widthTwips,
                            int heightTwips) override;
    bool removeParagraphOf(std::string_view placeholder) override;
    void endStartedProgram() noexcept override;

    struct State;

private:
    friend class LibreOfficeProbe; // the tests' look into the document the office holds

    LibreOfficeWordProcessor(std::shared_ptr<State> state, std::shared_ptr<OfficeRun> run);
    std::shared_ptr<State> state_;
    std::shared_ptr<OfficeRun> run_;
};

// Ends the office `run` started, with its process group, if it still runs; returns at once,
// and the office is reaped when it has gone. A connection of the run still waiting for its
// office gives up at once, and no office is started for the run any more.
void EndRunsOffice(OfficeRun &run);

// Whether the office installed with `program` can show a window on this desktop: builds
// without a window toolkit (Debian's -nogui packages) can only fill documents.
bool OfficeShowsWindows(const QString &program);
