#pragma once

#include "report/libreoffice/LibreOfficeWordProcessor.h"

#include <QString>

#include <optional>
#include <string>
#include <string_view>

// What the tests read back from the document an office holds, through UNO; not part of
// the program.
class LibreOfficeProbe {
public:
    explicit LibreOfficeProbe(LibreOfficeWordProcessor &office) : office_(office) {}

    // The open document's text and location.
    std::optional<std::string> documentText();
    std::optional<std::string> documentUrl();
    // The weight (CharWeight: 100 normal, 150 bold) of the first occurrence of `text`, and
    // how many graphics the document holds.
    std::optional<double> weightOf(std::string_view text);
    std::optional<int> graphicCount();
    // Exports the open document as PDF, to look at what the office shows.
    bool exportPdf(const QString &path);

private:
    LibreOfficeWordProcessor &office_;
};
