// telmar-calc: the grounding calculation and the report without the windows.

#include "cli/DesignJson.h"
#include "design/Calculation.h"
#include "design/InputFields.h"
#include "design/InstallationGeometry.h"
#include "design/NumberFormat.h"
#include "design/ResultSentences.h"
#include "design/Variants.h"
#include "report/engine/DrawingModule.h"
#include "report/engine/OfficeProgram.h"
#include "report/engine/PdfConversion.h"
#include "report/engine/RegularFile.h"
#include "report/engine/ReportFiller.h"
#include "report/engine/ReportTemplate.h"
#include "report/engine/RtfWordProcessor.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

enum class Status { ok = 0, arithmeticFault = 1, badInput = 2, reportFailed = 3, outputFailed = 4 };
using enum Status;

// What one read may hold: a line of --jsonl, and a whole document otherwise.
constexpr std::size_t kLongestLine = 1u << 20;
constexpr std::size_t kLargestDocument = 64u << 20;

constexpr const char *kUsageHead = R"(Usage: telmar-calc [OPTIONS] [FILE]

Sizes a protective earthing installation of vertical electrodes in two-layer soil joined
by a horizontal steel strip, as the Telmar desktop program does.

Reads a design (a JSON object) or a batch (an array of objects) from FILE, or from
standard input when FILE is absent or "-", and prints every field of the design record,
inputs and results, as JSON.

Input fields:
)";

constexpr const char *kUsageTail = R"(
Options:
  --jsonl            read and write one JSON object per line
  --text             print the sentences of the results page instead of JSON
  --variants         print, for each design, the installations its soil, norm and
                     profile allow instead: every electrode length (2; 2,5; 3; 4; 5 m and
                     its own), ratio a/L (1, 2, 3) and arrangement that meets the norm, with
                     coefficients settled by the tables, the lightest first
  --report FILE.rtf  also write the filled report of a single design to FILE.rtf;
                     to FILE.pdf, a PDF made by the office suite (LibreOffice)
  --force            let --report replace an existing file
  --template FILE    the report template (default: the one installed with the program)
  --office PROGRAM   the office that makes a PDF (default: soffice on the PATH)
  --help             show this help and exit
  --version          show the version and exit

With --jsonl each line is answered as soon as it is read, a line being at most 1 MiB;
otherwise the input is read whole, at most 64 MiB, each design in it at most 1 MiB.

Exit status: 0 computed; 1 a calculation stopped on an arithmetic fault; 2 bad input or
usage; 3 the report could not be written; 4 the output could not be written.
)";

// The input fields as the help lists them, one a line with its kind and unit.
std::string Usage()
{
    std::string usage = kUsageHead;
    for (const InputField &field : inputTable) {
        std::string line = "  " + std::string(field.name);
        line.resize(std::max<std::size_t>(line.size() + 1, 33), ' ');
        switch (field.kind) {
        case InputKind::decimal:
        case InputKind::whole:
            line += std::string(field.symbol) + (field.unit.empty() ? "" : ", ") +
                    std::string(field.unit) +
                    (field.kind == InputKind::whole ? ", a whole number" : "");
            if (field.neededFor == ElectrodeMaterial::angle) line += ", for an angle";
            if (field.neededFor == ElectrodeMaterial::roundRod) line += ", for a round rod";
            break;
        case InputKind::choice:
            for (std::size_t i = 0; i < field.words.size(); ++i)
                line += std::string(i ? " or " : "") + '"' + std::string(field.words[i].word) + '"';
            line += " (default \"" + std::string(field.words.front().word) + "\")";
            break;
        case InputKind::text:
            line += "a name for the report (optional)";
            break;
        case InputKind::flag:
            line += "true or false (default false)";
            break;
        case InputKind::derived:
            continue; // computed, never given
        }
        usage += line + '\n';
    }
    return usage + kUsageTail;
}

struct Options {
    bool jsonl = false;
    bool text = false;
    bool variants = false;
    bool force = false;
    std::string input = "-";
    std::optional<fs::path> report;
    std::optional<fs::path> reportTemplate;
    std::string office;
};

// Ends the run: what was computed so far is still written, then the message.
struct Stop {
    Status status;
    std::string message;
};

[[noreturn]] void Fail(Status status, const std::string &message)
{
    throw Stop{status, message};
}

Options ParseOptions(int argc, char *argv[])
{
    Options options;
    bool inputGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc) Fail(badInput, std::string(argument) + " needs a file name");
            const std::string_view given = argv[++i];
            // "--report --force d.json" is a slip, not a file called "--force".
            if (given.empty() || given[0] == '-')
                Fail(badInput, std::string(argument) + " needs a file name, not '" + Shown(given) +
                                   "' (write ./" + Shown(given) + " for a file of that name)");
            return std::string(given);
        };
        if (argument == "--help") {
            std::cout << Usage();
            std::exit(static_cast<int>(std::cout.flush() ? ok : outputFailed));
        } else if (argument == "--version") {
            std::cout << "telmar-calc " TELMAR_VERSION "\n";
            std::exit(static_cast<int>(std::cout.flush() ? ok : outputFailed));
        } else if (argument == "--jsonl") {
            options.jsonl = true;
        } else if (argument == "--text") {
            options.text = true;
        } else if (argument == "--variants") {
            options.variants = true;
        } else if (argument == "--force") {
            options.force = true;
        } else if (argument == "--report") {
            options.report = value();
        } else if (argument == "--template") {
            options.reportTemplate = value();
        } else if (argument == "--office") {
            options.office = value();
        } else if ((argument.size() > 1 && argument[0] == '-') || inputGiven) {
            Fail(badInput, "unexpected argument '" + Shown(argument) + "' (see --help)");
        } else {
            options.input = argument;
            inputGiven = true;
        }
    }
    return options;
}

// The input as a stream: a file, a FIFO, a pipe or a terminal, read as it comes.
class Input {
public:
    explicit Input(const std::string &name) : name_(name)
    {
        if (name == "-") {
            fd_ = STDIN_FILENO;
        } else {
            fd_ = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
            if (fd_ < 0)
                Fail(badInput, "cannot read '" + Shown(name) + "': " + std::strerror(errno));
        }
        struct stat info {};
        if (::fstat(fd_, &info) == 0 && S_ISDIR(info.st_mode))
            Fail(badInput, "'" + Shown(name) + "' is a directory, not a design");
    }

    ~Input()
    {
        if (fd_ != STDIN_FILENO) ::close(fd_);
    }

    // The next line, without its end; false at the end of the input.
    bool line(std::string &text)
    {
        text.clear();
        for (;;) {
            const char *begin = buffer_.data() + begin_;
            const void *newline = std::memchr(begin, '\n', end_ - begin_);
            const std::size_t length =
                newline ? static_cast<const char *>(newline) - begin : end_ - begin_;
            if (text.size() + length > kLongestLine)
                Fail(badInput, "line " + std::to_string(lines_ + 1) + ": longer than 1 MiB");
            text.append(begin, length);
            begin_ += length;
            if (newline) {
                ++begin_;
                ++lines_;
                return true;
            }
            if (!fill()) {
                if (text.empty()) return false;
                ++lines_;
                return true;
            }
        }
    }

    // Everything up to the end of the input.
    std::string all()
    {
        std::string text;
        do {
            if (text.size() + (end_ - begin_) > kLargestDocument)
                Fail(badInput, "'" + Shown(name_) +
                                   "' is larger than 64 MiB; give large batches "
                                   "one design per line with --jsonl");
            text.append(buffer_.data() + begin_, end_ - begin_);
            begin_ = end_;
        } while (fill());
        return text;
    }

    std::size_t lines() const { return lines_; }

private:
    bool fill()
    {
        begin_ = end_ = 0;
        for (;;) {
            const ssize_t n = ::read(fd_, buffer_.data(), buffer_.size());
            if (n < 0 && errno == EINTR) continue;
            if (n < 0)
                Fail(badInput, "cannot read '" + Shown(name_) + "': " + std::strerror(errno));
            end_ = static_cast<std::size_t>(n);
            return n > 0;
        }
    }

    std::string name_;
    int fd_ = -1;
    std::vector<char> buffer_ = std::vector<char>(1 << 16);
    std::size_t begin_ = 0, end_ = 0;
    std::size_t lines_ = 0;
};

// Standard output, written in large pieces, every write checked.
class Output {
public:
    std::string text;

    Output() { text.reserve(2 * kPiece); }

    void flushIfFull()
    {
        if (text.size() > kPiece) flush();
    }

    void finish() { flush(); }

private:
    static constexpr std::size_t kPiece = 1u << 20;

    // Straight to the descriptor, the pieces being large already; every write checked.
    void flush()
    {
        if (!WriteAll(STDOUT_FILENO, text)) Failed(errno);
        text.clear();
    }

    [[noreturn]] static void Failed(int error)
    {
        Fail(outputFailed, std::string("cannot write the output: ") +
                               (error ? std::strerror(error) : "write error"));
    }
};

// Where a problem lies: the line or the design it belongs to, or nowhere in particular.
struct Place {
    const char *kind = nullptr; // "line", "design"
    std::size_t number = 0;

    std::string text() const
    {
        return kind ? std::string(kind) + ' ' + std::to_string(number) + ": " : "";
    }
};

// One JSON text, parsed.
simdjson::dom::element Parse(simdjson::dom::parser &parser, std::string &text, Place where)
{
    // A byte-order mark, as some editors write, is passed over, as the program does.
    if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
    text.reserve(text.size() + simdjson::SIMDJSON_PADDING);
    simdjson::dom::element value;
    const auto error = parser.parse(text.data(), text.size(), false).get(value);
    if (error) Fail(badInput, where.text() + "not valid JSON: " + JsonProblem(text, error));
    return value;
}

DesignRecord Design(simdjson::dom::element value, Place where)
{
    DesignInput input = ReadDesign(value);
    if (!input.record) Fail(badInput, where.text() + input.problem);
    return std::move(*input.record);
}

// The calculation as the electrode page's Next runs it. Returns the fault's message, if any.
std::optional<std::string> Calculate(DesignRecord &record)
{
    try {
        CalculateDesign(record);
        return std::nullopt;
    } catch (const ArithmeticError &error) {
        return error.what();
    }
}

void AppendSentences(std::string &out, const DesignRecord &record)
{
    const ResultSentences s = ComposeResultSentences(record, ",");
    for (const std::string *line :
         {&s.designResistivity, &s.singleElectrode, &s.estimatedCount, &s.estimatedStripLength,
          &s.stripResistance, &s.totalResistance, &s.refinedStripLength})
        out += *line + '\n';
    out += std::string(kRefinedCountCaption) + '\n';
    out += s.refinedCount + '\n' + s.decision + '\n';
    out += s.installation + '\n';
    for (const std::string &extra : s.extras)
        out += extra + '\n';
    for (const std::string &note : s.notes)
        out += note + '\n';
}

// The drawing of the report from the drawing module, loaded for it alone, so that a plain
// calculation never loads Qt; nothing, with a word on standard error, where it cannot be.
std::optional<std::string> Drawing(const DesignRecord &record)
{
    const fs::path program = fs::read_symlink("/proc/self/exe").parent_path();
    const fs::path name = "libtelmar-drawing.so";
    for (const fs::path &module :
         {program / name, program / ".." / TELMAR_LIBDIR / "telmar" / name}) {
        std::error_code missing;
        if (!fs::is_regular_file(module, missing)) continue;
        void *handle = ::dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) break;
        const auto draw =
            reinterpret_cast<decltype(&TelmarDrawInstallation)>(::dlsym(handle, kDrawingEntry));
        std::string png;
        const DeliverDrawing keep = [](void *context, const char *data, std::size_t size) {
            static_cast<std::string *>(context)->assign(data, size);
        };
        // The module stays loaded: Qt does not go away cleanly before the process does.
        if (draw && draw(&record, ",", keep, &png)) return png;
        break;
    }
    std::cerr << "telmar-calc: the report goes without its drawing: the drawing module ("
              << name.string() << ") cannot be loaded\n";
    return std::nullopt;
}

bool SameFile(const fs::path &a, const fs::path &b)
{
    struct stat first {
    }, second{};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// Set by Ctrl+C or a TERM while the office makes the PDF: the office, in a session of its
// own, hears neither, and is ended by us before we go.
volatile std::sig_atomic_t interrupted = 0;

bool IsPdf(const fs::path &path)
{
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".pdf";
}

// The filled report converted to PDF by the office; the run ends with the reason where
// there is no office or it makes none.
std::string Pdf(const std::string &rtf, const fs::path &office)
{
    struct sigaction catcher {
    }, previousInt{}, previousTerm{};
    catcher.sa_handler = [](int) { interrupted = 1; };
    ::sigaction(SIGINT, &catcher, &previousInt);
    ::sigaction(SIGTERM, &catcher, &previousTerm);
    const PdfConversion made = ConvertToPdf(office, rtf, kPdfDeadline, [] { return !interrupted; });
    ::sigaction(SIGINT, &previousInt, nullptr);
    ::sigaction(SIGTERM, &previousTerm, nullptr);
    const std::string detail = made.detail.empty() ? "" : ": " + Shown(made.detail, 300);
    switch (made.failure) {
    case PdfConversion::Failure::none:
        break;
    case PdfConversion::Failure::cannotStart:
        Fail(reportFailed,
             "cannot start the office '" + Shown(office.string(), 400) + "'" + detail);
    case PdfConversion::Failure::timedOut:
        Fail(reportFailed, "the office made no PDF in " + std::to_string(kPdfDeadline.count()) +
                               " s and was ended");
    case PdfConversion::Failure::cancelled:
        Fail(reportFailed, "interrupted; the office was ended and no report written");
    case PdfConversion::Failure::failed:
        Fail(reportFailed, "the office made no PDF" + detail);
    }
    return made.pdf;
}

// Fills the template as the Report button does and writes it to the report file, as RTF or,
// for a name ending in .pdf, as the office's PDF: never over the template or anything but a
// regular file, over an existing one only when forced, and always whole, through a new file
// of a unique name beside it.
void WriteReport(const DesignRecord &record, const Options &options)
{
    const fs::path templatePath = options.reportTemplate.value_or(
        FindReportTemplate(fs::read_symlink("/proc/self/exe").parent_path()));
    const fs::path &target = *options.report;
    const std::string shown = Shown(target.string());
    struct stat info {};
    if (::lstat(target.c_str(), &info) == 0) {
        if (SameFile(target, templatePath))
            Fail(reportFailed, "refusing to write the report over its template '" + shown + "'");
        if (!S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode))
            Fail(reportFailed,
                 "'" + shown + "' is not a regular file; the report goes only to one");
        if (!options.force) Fail(reportFailed, "'" + shown + "' exists; use --force to replace it");
    }
    std::optional<fs::path> office;
    if (IsPdf(target)) {
        office = FindOfficeProgram(options.office);
        if (!office && !options.office.empty())
            Fail(reportFailed,
                 "the office '" + Shown(options.office, 400) + "' is not a program to run");
        if (!office)
            Fail(reportFailed, "a PDF is made by an office suite, and none is installed "
                               "(LibreOffice's soffice); write the report as FILE.rtf instead");
    }

    std::string filled;
    RtfWordProcessor document([&filled](const std::string &rtf) {
        filled = rtf;
        return true;
    });
    if (!document.OpenDocument(templatePath))
        Fail(reportFailed,
             "cannot read the report template '" + Shown(templatePath.string(), 400) + "'");
    std::vector<ReportRow> rows = ReportRows(record, TodayInWords());
    if (std::optional<std::string> png = Drawing(record)) PlaceDrawing(rows, std::move(*png));
    const FillOutcome outcome = FillReport(document, rows, {});
    if (!outcome.complete)
        Fail(reportFailed, "the report template '" + Shown(templatePath.string(), 400) +
                               "' has no place for '" + outcome.missingPlaceholder + "'");
    document.SetWordVisible(true);
    if (office) filled = Pdf(filled, *office);

    // Written beside the target under a name nobody can foresee, then put in its place at
    // once: a failed write leaves no half report, concurrent runs never meet.
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) Fail(reportFailed, "cannot write '" + shown + "': " + std::strerror(errno));
    const mode_t mask = ::umask(0);
    ::umask(mask);
    bool written = ::fchmod(fd, 0666 & ~mask) == 0 && WriteAll(fd, filled) && ::fsync(fd) == 0;
    const int error = errno;
    written = ::close(fd) == 0 && written;
    if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        const int reason = written ? errno : error;
        ::unlink(temporary.c_str());
        Fail(reportFailed, "cannot write '" + shown + "': " + std::strerror(reason));
    }
}

// A variant as a line: "в ряд, L = 3 м, a = 9 м (a/L = 3): n = 4, …".
void AppendVariantLine(std::string &out, const Variant &v)
{
    const auto number = [](double value) { return FormatGeneral(value, ","); };
    out += std::string(ArrangementInText(v.arrangement)) + ", L = " + number(v.electrodeLength) +
           " м, a = " + number(v.electrodeSpacing) + " м (a/L = " + number(v.ratio) +
           "): n = " + number(v.count) + ", полоса " + number(v.stripLength) +
           " м, R = " + ResistanceAgainstNorm(v.resistance, v.allowedResistance, true, ",") +
           " Ом ≤ " + number(v.allowedResistance) + " Ом, сталь " + number(v.steelMass) +
           " кг, ηв = " + number(v.electrodeUtilization) + ", ηг = " + number(v.stripUtilization) +
           (v.settling == Settling::cycle ? ", коэффициенты по таблицам (цикл)"
                                          : ", коэффициенты по таблицам") +
           '\n';
}

// The variants of a design: a line each and a count of those left out, or JSON.
void AppendVariants(std::string &out, const DesignRecord &record, bool text, bool pretty)
{
    const VariantSearch search = SearchVariants(record);
    if (text) {
        for (const Variant &v : search.variants)
            AppendVariantLine(out, v);
        out += "Не выполняют норму в пределах таблиц: " + std::to_string(search.leftOut) + " из " +
               std::to_string(search.leftOut + search.variants.size()) + '\n';
        if (!search.electrodeMassKnown)
            out += "Масса электродов неизвестна: профиля нет в стандарте.\n";
        return;
    }
    AppendVariantsJson(out, search, pretty);
}

// One design's answer in a batch: its sentences or its JSON, or its fault in their place.
void AppendAnswer(std::string &out, const DesignRecord &record,
                  const std::optional<std::string> &fault, const Options &options, bool pretty)
{
    const bool text = options.text;
    if (options.variants)
        AppendVariants(out, record, text, pretty);
    else if (text && fault)
        out += *fault + '\n';
    else if (text)
        AppendSentences(out, record);
    else if (fault)
        AppendErrorJson(out, *fault);
    else
        AppendDesignJson(out, record, pretty);
}

// One design after another as the lines come, each answered at once.
Status RunLines(Input &input, const Options &options, Output &out)
{
    simdjson::dom::parser parser;
    Status status = ok;
    std::string text;
    bool first = true;
    while (input.line(text)) {
        if (text.find_first_not_of(" \t\r") == std::string::npos) continue;
        const Place where{"line", input.lines()};
        DesignRecord record = Design(Parse(parser, text, where), where);
        const std::optional<std::string> fault =
            options.variants ? std::nullopt : Calculate(record);
        if (fault) status = arithmeticFault;
        if (options.text && !first) out.text += '\n';
        AppendAnswer(out.text, record, fault, options, false);
        if (!options.text) out.text += '\n';
        first = false;
        out.flushIfFull();
    }
    return status;
}

// The elements of a JSON array as texts of their own, found without reading the array into
// memory whole: strings and nesting are followed and nothing else is judged, for each
// element is parsed on its own. A text that is no such array is a fault.
class ArrayElements {
public:
    explicit ArrayElements(std::string_view text) : text_(text)
    {
        skipBlanks();
        isArray_ = at_ < text_.size() && text_[at_] == '[';
        if (!isArray_) return;
        ++at_;
        skipBlanks();
        if (at_ < text_.size() && text_[at_] == ']') finish(at_ + 1);
    }

    bool isArray() const { return isArray_; }
    bool faulty() const { return faulty_; }

    // The next element; false at the end, or at a fault.
    bool next(std::string_view &element)
    {
        if (!isArray_ || ended_ || faulty_) return false;
        skipBlanks();
        const std::size_t begin = at_;
        int depth = 0;
        for (; at_ < text_.size(); ++at_) {
            const char c = text_[at_];
            if (c == '"') {
                // On to the closing quote, past escaped ones.
                for (++at_; at_ < text_.size() && text_[at_] != '"'; ++at_)
                    if (text_[at_] == '\\') ++at_;
                if (at_ >= text_.size()) break;
            } else if (c == '[' || c == '{') {
                ++depth;
            } else if ((c == ']' || c == '}') && depth > 0) {
                --depth;
            } else if (depth == 0 && (c == ',' || c == ']')) {
                break;
            }
        }
        std::size_t end = at_;
        while (end > begin && IsBlank(text_[end - 1]))
            --end;
        if (at_ >= text_.size() || end == begin) return fail();
        element = text_.substr(begin, end - begin);
        if (text_[at_] == ']')
            finish(at_ + 1);
        else
            ++at_;
        return true;
    }

private:
    static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

    void skipBlanks()
    {
        while (at_ < text_.size() && IsBlank(text_[at_]))
            ++at_;
    }

    // After the closing bracket only blanks may follow.
    void finish(std::size_t after)
    {
        at_ = after;
        skipBlanks();
        ended_ = true;
        faulty_ = at_ != text_.size();
    }

    bool fail()
    {
        faulty_ = true;
        return false;
    }

    std::string_view text_;
    std::size_t at_ = 0;
    bool isArray_ = false;
    bool ended_ = false;
    bool faulty_ = false;
};

// A design as large as a design file may be; batches are arrays of such, or lines.
constexpr std::size_t kLargestDesign = 1u << 20;

// A design or a batch in one document, every design read before any is computed. A batch
// is read design by design, twice: first each is checked, then computed, so that a batch of
// any shape takes little more memory than its text.
Status RunDocument(Input &input, const Options &options, Output &out)
{
    std::string text = input.all();
    if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3); // passed over, as the program does
    simdjson::dom::parser parser;
    if (!ArrayElements(text).isArray()) {
        if (text.size() > kLargestDesign)
            Fail(badInput, "'" + Shown(options.input) +
                               "' is larger than 1 MiB; a batch is an array of designs, or one "
                               "design per line with --jsonl");
        DesignRecord record = Design(Parse(parser, text, {}), {});
        const std::optional<std::string> fault =
            options.variants ? std::nullopt : Calculate(record);
        // A single design's fault goes where the desktop program shows it: apart.
        if (fault)
            std::cerr << *fault << '\n';
        else if (options.variants) {
            AppendVariants(out.text, record, options.text, true);
            if (!options.text) out.text += '\n';
        } else if (options.text)
            AppendSentences(out.text, record);
        else {
            AppendDesignJson(out.text, record, true);
            out.text += '\n';
        }
        out.finish();
        if (options.report && !fault) WriteReport(record, options);
        return fault ? arithmeticFault : ok;
    }
    if (options.report) Fail(badInput, "--report writes the report of a single design");

    // Each design of the batch in turn; a fault in the text is told of the whole text.
    const auto eachDesign = [&](const std::function<void(DesignRecord &, std::size_t)> &take) {
        ArrayElements elements(text);
        std::string_view item;
        std::size_t number = 0;
        while (elements.next(item)) {
            const Place where{"design", ++number};
            if (item.size() > kLargestDesign) Fail(badInput, where.text() + "larger than 1 MiB");
            simdjson::dom::element value;
            if (const auto error = parser.parse(item.data(), item.size()).get(value))
                Fail(badInput, "not valid JSON: " + JsonProblem(text, error));
            DesignRecord record = Design(value, where);
            take(record, number);
        }
        if (elements.faulty())
            Fail(badInput, "not valid JSON: " + JsonProblem(text, simdjson::TAPE_ERROR));
        return number;
    };
    const std::size_t designs = eachDesign([](DesignRecord &, std::size_t) {});

    Status status = ok;
    if (!options.text) out.text += designs == 0 ? "[" : "[\n";
    eachDesign([&](DesignRecord &record, std::size_t number) {
        const std::optional<std::string> fault =
            options.variants ? std::nullopt : Calculate(record);
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
        if (options.report && options.jsonl)
            Fail(badInput, "--report writes the report of a single design");
        if (options.report && options.variants)
            Fail(badInput, "--report writes the report of a design, not of its variants");
        if (options.input == "-" && isatty(STDIN_FILENO))
            std::cerr << "telmar-calc: reading a design from standard input (see --help)\n";
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
