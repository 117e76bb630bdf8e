// A report with the built-in engine: reading the shipped template, filling its
// placeholders and writing the result; the same with 50 MB of body text before them; and
// the filled report's pages drawn into a PDF where no office makes it.

#include "bench/BenchFiles.h"
#include "report/ReportPages.h"
#include "report/engine/ReportFiller.h"
#include "report/engine/RtfWordProcessor.h"
#include "tests/ReferenceDesign.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

void Fill(benchmark::State &state, const std::filesystem::path &templatePath,
          const std::filesystem::path &output)
{
    const DesignRecord record = Computed();
    for (auto _ : state) {
        RtfWordProcessor document([&output](const std::string &rtf) {
            std::ofstream(output, std::ios::binary)
                .write(rtf.data(), static_cast<std::streamsize>(rtf.size()));
            return true;
        });
        if (!document.OpenDocument(templatePath))
            state.SkipWithError("the template cannot be read");
        const FillOutcome outcome = FillReport(document, ReportRows(record), {});
        if (!outcome.complete) state.SkipWithError("the template lacks a placeholder");
        document.SetWordVisible(true);
    }
}

void FillShippedTemplate(benchmark::State &state)
{
    const ScratchFolder scratch;
    Fill(state, TELMAR_TEMPLATE, scratch / "report.rtf");
}
BENCHMARK(FillShippedTemplate)->Unit(benchmark::kMillisecond);

// A company's long preamble: 50 MB of paragraphs of body text before the placeholders,
// with `hashes` placeholder-like characters ahead of it. Goal: under 1 s.
void FillFiftyMegabytesOfBodyText(benchmark::State &state)
{
    const ScratchFolder scratch;
    const auto hashes = static_cast<std::size_t>(state.range(0));
    std::ifstream shipped(TELMAR_TEMPLATE, std::ios::binary);
    std::string rtf((std::istreambuf_iterator<char>(shipped)), std::istreambuf_iterator<char>());
    std::string body;
    const std::string paragraph = "\\pard\\plain\\f0\\fs24 Lorem ipsum dolor sit amet, "
                                  "\\u1079\\'e7\\u1072\\'e0\\u1079\\'e7\\u1077\\'e5\\u1084\\'ec "
                                  "consectetur adipiscing elit, sed do eiusmod tempor.\\par\n";
    while (body.size() < (50u << 20))
        body += paragraph;
    body.insert(0, "\\pard " + std::string(hashes, '#') + "\\par\n");
    rtf.insert(rtf.find("\\pard"), body);
    const auto templatePath = scratch / "large.rtf";
    std::ofstream(templatePath, std::ios::binary)
        .write(rtf.data(), static_cast<std::streamsize>(rtf.size()));
    Fill(state, templatePath, scratch / "report.rtf");
}
// Without them, and with more of them than the search's index once held.
BENCHMARK(FillFiftyMegabytesOfBodyText)
    ->Arg(0)
    ->Arg(70000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// The reference design's report, filled, as a PDF the program draws: what «Сохранить PDF…»
// and Ctrl+P wait for, off the window thread, without an office. Goal: under 2 s.
void DrawReportAsPdf(benchmark::State &state)
{
    static int argc = 1;
    static char name[] = "bench_report";
    static char *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(argc, argv);
    std::string rtf;
    RtfWordProcessor document([&rtf](const std::string &filled) {
        rtf = filled;
        return true;
    });
    if (!document.OpenDocument(TELMAR_TEMPLATE) ||
        !FillReport(document, ReportRows(Computed()), {}).complete)
        state.SkipWithError("the template cannot be filled");
    document.SetWordVisible(true);
    for (auto _ : state) {
        const QByteArray pdf = PdfOfRtf(rtf);
        if (pdf.isEmpty()) state.SkipWithError("no PDF");
        benchmark::DoNotOptimize(pdf.data());
    }
}
BENCHMARK(DrawReportAsPdf)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
