// The windows: creating the nine of them and showing the main window, offscreen.

#include "Look.h"
#include "Windows.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

// Creates the nine windows and shows the main one; the tearing down is not timed.
void CreateAndShow(benchmark::State &state)
{
    for (auto _ : state) {
        auto windows = CreateWindows();
        windows->Form1->show();
        QApplication::processEvents();
        state.PauseTiming();
        windows.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

// The first time, as at start-up: the font database and the style are set up as well.
void FirstCreationAsAtStartUp(benchmark::State &state) { CreateAndShow(state); }
BENCHMARK(FirstCreationAsAtStartUp)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void CreateNineWindowsAndShowTheMain(benchmark::State &state) { CreateAndShow(state); }
BENCHMARK(CreateNineWindowsAndShowTheMain)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    InstallFontSubstitutes();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
