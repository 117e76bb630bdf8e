// telmar-calc: the grounding calculation and the report without the windows.

#include "cli/BatchReader.h"
#include "cli/Commands.h"
#include "cli/DesignJson.h"
#include "cli/Options.h"
#include "cli/Status.h"

#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <unistd.h>

namespace {

using enum Status;

// One design's answer in a batch: its sentences or its JSON, or its fault in their place.
void AppendAnswer(std::string &out, const DesignRecord &record,
                  const std::optional<std::string> &fault, const Options &options, bool pretty)
{
    if (options.variants)
        AppendVariants(out, record, options.text, pretty, options.field);
    else if (options.field)
        AppendFieldCalculation(out, record, fault, options.text, pretty);
    else
        AppendCalculation(out, record, fault, options.text, pretty);
}

// One design after another as the lines come, each answered at once.
Status RunLines(Input &input, const Options &options, Output &out)
{
    Status status = ok;
    bool first = true;
    EachLine(input, [&](DesignRecord &record) {
        const std::optional<std::string> fault =
            options.variants ? std::nullopt : CalculateAnswer(record);
        if (fault) status = arithmeticFault;
        if (options.text && !first) out.text += '\n';
        AppendAnswer(out.text, record, fault, options, false);
        if (!options.text) out.text += '\n';
        first = false;
        out.flushIfFull();
    });
    return status;
}

// A design or a batch in one document, every design read before any is computed. A batch
// is read design by design, twice: first each is checked, then computed, so that a batch of
// any shape takes little more memory than its text.
Status RunDocument(Input &input, const Options &options, Output &out)
{
    Document document(input);
    if (!document.isBatch()) {
        DesignRecord record = document.single();
        const std::optional<std::string> fault =
            options.variants ? std::nullopt : CalculateAnswer(record);
        // A single design's fault goes where the desktop program shows it: apart.
        if (fault)
            std::cerr << *fault << '\n';
        else if (options.variants) {
            AppendVariants(out.text, record, options.text, true, options.field);
            if (!options.text) out.text += '\n';
        } else if (options.field) {
            AppendFieldCalculation(out.text, record, fault, options.text, true);
            if (!options.text) out.text += '\n';
        } else if (options.text)
            AppendSentences(out.text, record);
        else {
            AppendDesignJson(out.text, record, true);
            out.text += '\n';
        }
        out.finish();
        if (options.report && !fault) WriteReport(record, options);
        if (options.fieldMap && !fault) WriteFieldMap(record, options);
        if (options.dxf && !fault) WriteDxf(record, options);
        return fault ? arithmeticFault : ok;
    }
    if (options.report) Fail(badInput, "--report writes the report of a single design");
    if (options.fieldMap) Fail(badInput, "--field-map draws the map of a single design");
    if (options.dxf) Fail(badInput, "--dxf draws a single design");

    const std::size_t designs = document.each([](DesignRecord &, std::size_t) {});
    Status status = ok;
    if (!options.text) out.text += designs == 0 ? "[" : "[\n";
    document.each([&](DesignRecord &record, std::size_t number) {
        const std::optional<std::string> fault =
            options.variants ? std::nullopt : CalculateAnswer(record);
        if (fault) status = arithmeticFault;
        if (options.text && number > 1) out.text += '\n';
        AppendAnswer(out.text, record, fault, options, true);
        if (!options.text) out.text += number == designs ? "\n" : ",\n";
        out.flushIfFull();
    });
    if (!options.text) out.text += "]\n";
    out.finish();
    return status;
}

} // namespace

int main(int argc, char *argv[])
{
    Output out;
    try {
        const Options options = ParseOptions(argc, argv);
        if (options.dxf && (options.jsonl || options.variants || options.survey))
            Fail(badInput, "--dxf draws the installation of a single design");
        if (options.report && options.jsonl)
            Fail(badInput, "--report writes the report of a single design");
        if (options.fieldMap && (options.jsonl || options.variants))
            Fail(badInput, "--field-map draws the map of a single design");
        if (options.field && options.survey)
            Fail(badInput, "--field computes designs and their variants, not a survey");
        if (options.report && options.variants)
            Fail(badInput, "--report writes the report of a design, not of its variants");
        if (options.input == "-" && isatty(STDIN_FILENO))
            std::cerr << "telmar-calc: reading a design from standard input (see --help)\n";
        if (options.survey &&
            (options.report || options.variants || options.jsonl || options.input != "-"))
            Fail(badInput, "--survey fits a survey alone; give it with --text at most");
        if (options.survey) return static_cast<int>(RunSurvey(options, out));
        Input input(options.input);
        if (!options.jsonl) return static_cast<int>(RunDocument(input, options, out));
        const Status status = RunLines(input, options, out);
        out.finish();
        return static_cast<int>(status);
    } catch (const Stop &stop) {
        if (stop.status != outputFailed) {
            try {
                out.finish();
            } catch (const Stop &) {
            }
        }
        std::cerr << "telmar-calc: " << stop.message << '\n';
        return static_cast<int>(stop.status);
    } catch (const std::bad_alloc &) {
        std::cerr << "telmar-calc: out of memory: the input is too large for this machine\n";
        return static_cast<int>(badInput);
    }
}
