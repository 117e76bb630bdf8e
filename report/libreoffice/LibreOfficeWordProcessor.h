#pragma once

#include "report/ReportSettings.h"
#include "report/engine/WordProcessor.h"

#include <QString>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

// LibreOffice Writer driven through UNO. Every call runs on a thread of its own and is
// waited for no longer than its deadline: an office that dies or hangs makes the calls
// return false, never the program freeze. Any UNO failure is a false. An office this
// object started runs in a process group of its own, reaped when it ends.
class LibreOfficeWordProcessor : public WordProcessor {
public:
    // Starts the office or reaches the running one; null when there is none, when it could
    // never show a window (unless headless is asked for), or when it does not answer before
    // the deadline (`failed` is set then); an office started for it is ended then.
    static std::unique_ptr<LibreOfficeWordProcessor> Connect(const OfficeOptions &options,
                                                             bool *failed = nullptr);

    ~LibreOfficeWordProcessor() override;

    bool SetWordVisible(bool visible) override;
    bool OpenDocument(const std::filesystem::path &path) override;
    bool SelectionToStart() override;
    bool ReplacePlaceholder(std::string_view placeholder, std::string_view value) override;
    bool ReplaceWithPicture(std::string_view placeholder, const std::string &png, int widthTwips,
                            int heightTwips) override;
    void EndStartedProgram() noexcept override;

    // The office process this run started and this object drives; 0 for one it did not start.
    qint64 officeProcessId() const;
    // The open document's text and location, as the office holds them; for the tests.
    std::optional<std::string> documentText();
    std::optional<std::string> documentUrl();
    // The weight (CharWeight: 100 normal, 150 bold) of the first occurrence of `text`, and
    // how many graphics the document holds; for the tests.
    std::optional<double> weightOf(std::string_view text);
    std::optional<int> graphicCount();
    // Exports the open document as PDF, to look at what the office shows.
    bool exportPdf(const QString &path);

    struct State;

private:
    explicit LibreOfficeWordProcessor(std::shared_ptr<State> state);
    std::shared_ptr<State> state_;
};

// Whether the office installed with `program` can show a window on this desktop: builds
// without a window toolkit (Debian's -nogui packages) can only fill documents.
bool OfficeShowsWindows(const QString &program);
