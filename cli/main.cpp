// telmar-calc: the grounding calculation and the report without the windows.

#include "Calculation.h"
#include "DesignJson.h"
#include "ReportFiller.h"
#include "ResultSentences.h"
#include "RtfWordProcessor.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

enum Status { ok = 0, arithmeticFault = 1, badInput = 2, reportFailed = 3 };

constexpr const char *kUsage = R"(Usage: telmar-calc [OPTIONS] [FILE]

Sizes a protective earthing installation of vertical electrodes in two-layer soil joined
by a horizontal steel strip, as the Telmar desktop program does.

Reads a design (a JSON object) or a batch (an array of objects) from FILE, or from
standard input when FILE is absent or "-", and prints every field of the design record,
inputs and results, as JSON.

Input fields: upperResistivity, lowerResistivity, verticalClimaticCoefficient,
horizontalClimaticCoefficient, upperLayerThickness, stripDepth, normativeResistance*,
angleWidth*, rodDiameter*, electrodeLength, stripWidth*, electrodeSpacing,
stripUtilization, electrodeUtilization (* whole numbers; rodDiameter only for a round rod,
angleWidth only for an angle); arrangement ("row" or "contour", default "row");
electrodeMaterial ("angle" or "roundRod", default "angle").

Options:
  --jsonl            read and write one JSON object per line
  --text             print the sentences of the results page instead of JSON
  --report FILE.rtf  also write the filled report of a single design to FILE.rtf
  --force            let --report replace an existing file
  --template FILE    the report template (default: the one installed with the program)
  --help             show this help and exit
  --version          show the version and exit

Exit status: 0 computed; 1 a calculation stopped on an arithmetic fault; 2 bad input or
usage; 3 the report could not be written.
)";

struct Options {
    bool jsonl = false;
    bool text = false;
    bool force = false;
    std::string input = "-";
    std::optional<fs::path> report;
    std::optional<fs::path> reportTemplate;
};

[[noreturn]] void Fail(Status status, const std::string &message)
{
    std::cerr << "telmar-calc: " << message << '\n';
    std::exit(status);
}

Options ParseOptions(int argc, char *argv[])
{
    Options options;
    bool inputGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc) Fail(badInput, std::string(argument) + " needs a file name");
            return argv[++i];
        };
        if (argument == "--help") {
            std::cout << kUsage;
            std::exit(ok);
        } else if (argument == "--version") {
            std::cout << "telmar-calc " TELMAR_VERSION "\n";
            std::exit(ok);
        } else if (argument == "--jsonl") {
            options.jsonl = true;
        } else if (argument == "--text") {
            options.text = true;
        } else if (argument == "--force") {
            options.force = true;
        } else if (argument == "--report") {
            options.report = value();
        } else if (argument == "--template") {
            options.reportTemplate = value();
        } else if ((argument.size() > 1 && argument[0] == '-') || inputGiven) {
            Fail(badInput, "unexpected argument '" + std::string(argument) + "' (see --help)");
        } else {
            options.input = argument;
            inputGiven = true;
        }
    }
    return options;
}

std::string ReadAll(const std::string &input)
{
    if (input == "-") {
        std::string data;
        char buffer[1 << 16];
        std::size_t count = 0;
        while ((count = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) data.append(buffer, count);
        return data;
    }
    std::ifstream file(input, std::ios::binary | std::ios::ate);
    if (!file) Fail(badInput, "cannot read '" + input + "'");
    std::string data(static_cast<std::size_t>(file.tellg()), '\0');
    file.seekg(0);
    if (!file.read(data.data(), static_cast<std::streamsize>(data.size())))
        Fail(badInput, "cannot read '" + input + "'");
    return data;
}

// The designs of the input, every one read before any is computed.
std::vector<DesignRecord> ReadDesigns(const std::string &data, bool jsonl, bool &batch)
{
    std::vector<DesignRecord> designs;
    const auto take = [&designs](const JsonValue &value, const std::string &where) {
        if (value.kind != JsonValue::Kind::object)
            Fail(badInput, where + "a design must be a JSON object");
        DesignInput input = ReadDesign(value);
        if (!input.record) Fail(badInput, where + input.problem);
        designs.push_back(*input.record);
    };
    const auto parse = [](std::string_view text, const std::string &where) {
        JsonError error;
        std::optional<JsonValue> value = ParseJson(text, error);
        if (!value)
            Fail(badInput, where + "not valid JSON: " + error.message + " at offset " +
                               std::to_string(error.offset));
        return std::move(*value);
    };

    if (jsonl) {
        batch = true;
        std::size_t line = 0;
        for (std::size_t begin = 0; begin < data.size();) {
            std::size_t end = data.find('\n', begin);
            if (end == std::string::npos) end = data.size();
            ++line;
            const std::string_view text(data.data() + begin, end - begin);
            begin = end + 1;
            if (text.find_first_not_of(" \t\r") == std::string_view::npos) continue;
            const std::string where = "line " + std::to_string(line) + ": ";
            take(parse(text, where), where);
        }
        return designs;
    }
    const JsonValue document = parse(data, "");
    batch = document.kind == JsonValue::Kind::array;
    if (!batch) {
        take(document, "");
        return designs;
    }
    designs.reserve(document.items.size());
    for (std::size_t i = 0; i < document.items.size(); ++i)
        take(document.items[i], "design " + std::to_string(i + 1) + ": ");
    return designs;
}

// The calculation as the electrode page's Next runs it: the mid-depth with the page's
// commit, then the whole method. Returns the fault's message, if any.
std::optional<std::string> Calculate(DesignRecord &record)
{
    try {
        record.electrodeMidDepth = ElectrodeMidDepth(record.electrodeLength, record.stripDepth);
        CalculateGrounding(record);
        return std::nullopt;
    } catch (const ArithmeticError &error) {
        return error.what();
    }
}

void AppendSentences(std::string &out, const DesignRecord &record)
{
    const ResultSentences s = ComposeResultSentences(record, ",");
    for (const std::string *line : {&s.label17, &s.label18, &s.label19, &s.label20, &s.label21,
                                    &s.label22, &s.label32})
        out += *line + '\n';
    out += std::string(kRefinedCountCaption) + '\n';
    out += s.label24 + '\n' + s.label25 + '\n';
    out += s.label33 + '\n';
    for (const std::string &note : s.coefficientNotes) out += note + '\n';
}

fs::path DefaultTemplate()
{
    const fs::path program = fs::read_symlink("/proc/self/exe").parent_path();
    const fs::path relative = fs::path(u8"отчёт") / "otchet.rtf";
    for (const fs::path &candidate :
         {program / relative, program / ".." / "share" / "telmar" / relative})
        if (fs::is_regular_file(candidate)) return candidate;
    return program / relative;
}

// Fills the template as the Report button does and writes it to the report file, never
// over the template and over an existing file only when forced.
void WriteReport(const DesignRecord &record, const Options &options)
{
    const fs::path templatePath = options.reportTemplate.value_or(DefaultTemplate());
    const fs::path &target = *options.report;
    std::error_code error;
    if (fs::exists(target, error)) {
        if (fs::equivalent(target, templatePath, error))
            Fail(reportFailed, "refusing to write the report over its template '" + target.string() + "'");
        if (!options.force)
            Fail(reportFailed, "'" + target.string() + "' exists; use --force to replace it");
    }

    std::string filled;
    RtfWordProcessor document([&filled](const std::string &rtf) {
        filled = rtf;
        return true;
    });
    if (!document.OpenDocument(templatePath))
        Fail(reportFailed, "cannot read the report template '" + templatePath.string() + "'");
    const FillOutcome outcome = FillReport(document, ReportRows(record, ","), {});
    if (!outcome.complete)
        Fail(reportFailed, "the report template '" + templatePath.string() + "' has no place for '" +
                               outcome.missingPlaceholder + "'");
    document.SetWordVisible(true);

    // Written beside the target first, so a failed write leaves no half report behind.
    const fs::path partial = target.string() + ".partial";
    {
        std::ofstream file(partial, std::ios::binary | std::ios::trunc);
        file.write(filled.data(), static_cast<std::streamsize>(filled.size()));
        if (!file.flush()) {
            fs::remove(partial, error);
            Fail(reportFailed, "cannot write '" + target.string() + "'");
        }
    }
    fs::rename(partial, target, error);
    if (error) {
        fs::remove(partial, error);
        Fail(reportFailed, "cannot write '" + target.string() + "'");
    }
}

} // namespace

int main(int argc, char *argv[])
{
    const Options options = ParseOptions(argc, argv);
    if (options.input == "-" && isatty(STDIN_FILENO))
        std::cerr << "telmar-calc: reading a design from standard input (see --help)\n";

    bool batch = false;
    std::vector<DesignRecord> designs = ReadDesigns(ReadAll(options.input), options.jsonl, batch);
    if (options.report && (batch || designs.size() != 1))
        Fail(badInput, "--report writes the report of a single design");

    Status status = ok;
    std::string out;
    constexpr std::size_t kChunk = 1 << 20; // written out as it fills, so memory stays flat
    out.reserve(2 * kChunk);
    if (batch && !options.jsonl && !options.text) out += designs.empty() ? "[" : "[\n";
    for (std::size_t i = 0; i < designs.size(); ++i) {
        DesignRecord &record = designs[i];
        const std::optional<std::string> fault = Calculate(record);
        if (fault) status = arithmeticFault;
        if (!batch) {
            // A single design's fault goes where the desktop program shows it: apart.
            if (fault) std::cerr << *fault << '\n';
            else if (options.text) AppendSentences(out, record);
            else {
                AppendDesignJson(out, record, true);
                out += '\n';
            }
        } else if (options.text) {
            if (i > 0) out += '\n';
            if (fault) out += *fault + '\n';
            else AppendSentences(out, record);
        } else {
            if (fault) AppendErrorJson(out, *fault);
            else AppendDesignJson(out, record, !options.jsonl);
            out += options.jsonl || i + 1 == designs.size() ? "\n" : ",\n";
        }
        if (out.size() > kChunk) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    if (batch && !options.jsonl && !options.text) out += "]\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);

    if (options.report && status == ok) WriteReport(designs.front(), options);
    return status;
}
