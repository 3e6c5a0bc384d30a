// The envelope search on a three-span continuous girder 30 + 40 + 30 m of 100 elements
// with the whole deck as the loading path: the railway moment envelope (306 loads) and all
// eleven types times three quantities, on one worker and on two; the lane load 公路-I级 on
// the same girder in 400 elements against the crowd load's walk.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "engine/AnalysisRun.h"
#include "platform/Format.h"
#include "platform/TextFile.h"

namespace {

// 101 nodes 1 m apart, a box-like section, pinned at 0 and on rollers at 30, 70 and 100.
std::string Girder() {
    std::string m = "101 100 0 1 1 0 4 100\n";
    for (int n = 0; n <= 100; ++n) AppendFormat(m, "%d %d 0\n", n + 1, n);
    m += "1 3.45e10\n1 6.5 8.2 26000 0 1.2 0.8\n";
    for (int e = 1; e <= 100; ++e) AppendFormat(m, "%d %d %d 1 1 1\n", e, e, e + 1);
    m += "1 110\n31 10\n71 10\n101 10\n";
    for (int e = 1; e <= 100; ++e) AppendFormat(m, "%d%s", e, e % 10 == 0 ? "\n" : " ");
    m += "0\n";
    return m;
}

// The same girder in 400 elements of 0.25 m, nodes x = i / 4 m.
std::string FineGirder() {
    std::string m = "401 400 0 1 1 0 4 400\n";
    for (int n = 0; n <= 400; ++n) AppendFormat(m, "%d %.2f 0\n", n + 1, n * 0.25);
    m += "1 3.45e10\n1 6.5 8.2 26000 0 1.2 0.8\n";
    for (int e = 1; e <= 400; ++e) AppendFormat(m, "%d %d %d 1 1 1\n", e, e, e + 1);
    m += "1 110\n121 10\n281 10\n401 10\n";
    for (int e = 1; e <= 400; ++e) AppendFormat(m, "%d%s", e, e % 10 == 0 ? "\n" : " ");
    m += "0\n";
    return m;
}

// One analysed girder for every benchmark, in a scratch working directory.
CPlaneFrame& Frame() {
    static std::unique_ptr<CPlaneFrame> frame;
    if (!frame) {
        char dir[] = "/tmp/morvex_liveload_bench_XXXXXX";
        if (!mkdtemp(dir)) std::abort();
        static const std::string kDir = dir;
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(kDir, ec);
        });
        std::filesystem::current_path(dir);
        WriteWholeFile("girder.fem", Girder());
        // A user train: a three-axle heavy vehicle and two-axle main vehicles.
        WriteWholeFile("user_hz.txt",
                       "3\n-100000 -200000 -200000\n0 3.0 4.4\n2\n-60000 -120000\n0 4.0\n"
                       "10 10 15\n");
        frame = RunAnalysis("girder.fem");
        if (!frame) std::abort();
    }
    return *frame;
}

CPlaneFrame& FineFrame() {
    static std::unique_ptr<CPlaneFrame> frame;
    if (!frame) {
        Frame();  // the scratch working directory
        WriteWholeFile("fine.fem", FineGirder());
        frame = RunAnalysis("fine.fem");
        if (!frame) std::abort();
    }
    return *frame;
}

// The lane load's exact search on the 400-element girder, and what a user had before: the
// crowd load's walk of 0.1 m pieces (a uniform load approximated on the grid, without the
// concentrated load), on the same girder.
void LaneMomentEnvelope400(benchmark::State& state) {
    CPlaneFrame& f = FineFrame();
    f.m_envelopeWorkers = static_cast<int>(state.range(0));
    for (auto _ : state)
        if (!f.ComputeEnvelope(11, 3)) state.SkipWithError("envelope failed");
}

void CrowdWalkMomentEnvelope400(benchmark::State& state) {
    CPlaneFrame& f = FineFrame();
    f.m_envelopeWorkers = static_cast<int>(state.range(0));
    for (auto _ : state)
        if (!f.ComputeEnvelope(0, 3)) state.SkipWithError("envelope failed");
}

void RailwayMomentEnvelope(benchmark::State& state) {
    CPlaneFrame& f = Frame();
    f.m_envelopeWorkers = static_cast<int>(state.range(0));
    for (auto _ : state)
        if (!f.ComputeEnvelope(9, 3)) state.SkipWithError("envelope failed");
}

void AllEnvelopes(benchmark::State& state) {
    CPlaneFrame& f = Frame();
    f.m_envelopeWorkers = static_cast<int>(state.range(0));
    for (auto _ : state)
        for (int type = 0; type <= 10; ++type)
            for (int q = 1; q <= 3; ++q)
                if (!f.ComputeEnvelope(type, q)) state.SkipWithError("envelope failed");
}

}  // namespace

BENCHMARK(LaneMomentEnvelope400)
    ->ArgName("workers")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(CrowdWalkMomentEnvelope400)
    ->ArgName("workers")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(RailwayMomentEnvelope)
    ->ArgName("workers")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(AllEnvelopes)
    ->ArgName("workers")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

BENCHMARK_MAIN();
