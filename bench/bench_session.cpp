// The file session's work on the window thread at start and in «Недавние», offscreen: a
// start that finds 1,000 copies of work left behind (the scan, its locks and its cleaning,
// up to the first question), and «Недавние» opened when the settings hold eight names of a
// megabyte each. Goal: each under 0,3 s.

#include "app/DesignFile.h"
#include "app/Recovery.h"
#include "app/Unit1.h"
#include "app/Windows.h"
#include "ui/Look.h"

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QTemporaryDir *scratch = nullptr;

// 1,000 copies as crashed programs leave them: each with its lock and the name of its
// file, and a temporary of a write cut short beside every tenth.
void LeftBehindCopies(benchmark::State &state)
{
    const QString folder = scratch->filePath(QStringLiteral("recovery"));
    auto windows = CreateWindows();
    const QJsonObject design = CaptureDesign(*windows->Form1);
    for (int i = 0; i < 1000; ++i) {
        Recovery ended(folder);
        if (!ended.store(design, QStringLiteral("/home/user/проект-%1.telmar").arg(i)).isEmpty()) {
            state.SkipWithError("a copy could not be written");
            return;
        }
    }
    std::size_t offered = 0;
    for (auto _ : state) {
        const Recovery starting(folder);
        offered = starting.leftBehind().size();
    }
    state.counters["offered"] = static_cast<double>(offered);
}
BENCHMARK(LeftBehindCopies)->Unit(benchmark::kMillisecond)->UseRealTime();

// «Недавние» filled and laid out as it opens, the first time after eight names of a
// megabyte each were put in the settings.
void RecentWithLongNames(benchmark::State &state)
{
    auto windows = CreateWindows();
    TForm1 &form = *windows->Form1;
    QStringList recent;
    for (int i = 0; i < 8; ++i)
        recent << QStringLiteral("/home/user/") + QString(1 << 20, QChar('a' + i));
    for (auto _ : state) {
        state.PauseTiming();
        QSettings().setValue(QStringLiteral("recentDesigns"), recent);
        QSettings().sync();
        state.ResumeTiming();
        emit form.Button15->menu()->aboutToShow();
        benchmark::DoNotOptimize(form.Button15->menu()->sizeHint());
    }
}
BENCHMARK(RecentWithLongNames)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir folder;
    scratch = &folder;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
    QCoreApplication::setOrganizationName(QStringLiteral("telmar-bench"));
    InstallFontSubstitutes();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
