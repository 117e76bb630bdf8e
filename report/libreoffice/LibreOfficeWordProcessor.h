#pragma once

#include "WordProcessor.h"

#include <QString>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

// How to reach LibreOffice. The defaults are the user's own office: started if it does not
// run, reached through a pipe of this user's, with the user's profile.
struct LibreOfficeOptions {
    QString program;     // soffice; empty: found on the PATH or in LibreOffice's folder
    QString pipeName;    // empty: one per user
    QString profileUrl;  // -env:UserInstallation; empty: the user's profile
    bool headless = false;
    std::chrono::milliseconds connectDeadline{30000};
    std::chrono::milliseconds callDeadline{20000};
};

// LibreOffice Writer driven through UNO. Every call runs on a thread of its own and is
// waited for no longer than its deadline: an office that dies or hangs makes the calls
// return false, never the program freeze. Any UNO failure is a false.
class LibreOfficeWordProcessor : public WordProcessor {
public:
    // Starts the office or reaches the running one; null when there is none or it does not
    // answer before the deadline.
    static std::unique_ptr<LibreOfficeWordProcessor> Connect(const LibreOfficeOptions &options);

    ~LibreOfficeWordProcessor() override;

    bool SetWordVisible(bool visible) override;
    bool OpenDocument(const std::filesystem::path &path) override;
    bool SelectionToStart() override;
    bool ReplacePlaceholder(std::string_view placeholder, std::string_view value) override;

    // The office process this object started, 0 when it reached a running one.
    qint64 officeProcessId() const;
    // The open document's text and location, as the office holds them; for the tests.
    std::optional<std::string> documentText();
    std::optional<std::string> documentUrl();

    struct State;

private:
    explicit LibreOfficeWordProcessor(std::shared_ptr<State> state);
    std::shared_ptr<State> state_;
};

// How CreateWord reaches LibreOffice from now on; the tests point it at an office of their own.
void SetLibreOfficeOptions(const LibreOfficeOptions &options);
