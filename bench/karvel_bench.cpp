// Speed at world scale, each case beside its floor (bench_*.cpp).
#include <benchmark/benchmark.h>

#include <QGuiApplication>

// Text needs the toolkit's fonts: its offscreen platform, no display.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
