// Read + solve + result files of generated models, against the time the machine needs just
// to write the same number of bytes. Usage: morvex-static-bench [--quick]
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "ModelGenerator.h"
#include "engine/AnalysisRun.h"
#include "platform/Format.h"
#include "platform/TextFile.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

long long BytesOfOutputs(const std::string& base, int cases) {
    namespace fs = std::filesystem;
    long long total = fs::file_size(base + ".out") + fs::file_size(base + ".stf");
    for (int k = 1; k <= cases; ++k)
        total += fs::file_size(base + "." + std::to_string(k)) +
                 fs::file_size(FormatString("%s_工况_%d.out", base.c_str(), k));
    return total;
}

// The physical floor: writing the same bytes in 64 KiB blocks, like dd bs=64k.
double WriteFloor(long long bytes) {
    std::vector<char> block(1 << 16, 'x');
    const auto t0 = std::chrono::steady_clock::now();
    FILE* f = std::fopen("floor.bin", "wb");
    for (long long left = bytes; left > 0; left -= static_cast<long long>(block.size()))
        std::fwrite(block.data(), 1, std::min<long long>(left, block.size()), f);
    std::fclose(f);
    const double s = Seconds(t0);
    std::remove("floor.bin");
    return s;
}

void Run(const char* kind, const std::string& model, int cases) {
    WriteWholeFile("bench.fem", model);
    const auto t0 = std::chrono::steady_clock::now();
    auto frame = RunAnalysis("bench.fem");
    const double total = Seconds(t0);
    if (!frame) {
        std::printf("%s: analysis failed\n", kind);
        return;
    }
    frame->m_keepScratchFiles = true;
    const long long bytes = BytesOfOutputs("bench", cases);
    const int dof = frame->m_nDof, band = frame->m_nBand;
    frame.reset();
    const double floor = WriteFloor(bytes);
    std::printf("| %-7s | %7d | %5d | %3d | %8.1f | %7.3f | %7.3f | %5.2f |\n", kind, dof, band,
                cases, bytes / 1e6, total, floor, total / floor);
    std::fflush(stdout);
    for (int k = 1; k <= cases; ++k) {
        std::remove(("bench." + std::to_string(k)).c_str());
        std::remove(FormatString("bench_工况_%d.out", k).c_str());
    }
    std::remove("bench.stf");
    std::remove("bench.out");
}

// Formatting alone: the program's formatter against snprintf on the result-file formats.
void FormatSpeed() {
    const int n = 2000000;
    std::string out;
    out.reserve(64u * n);
    auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < n; ++i) AppendFormat(out, "%17.6e", (i - n / 2) * 1.2345e-3);
    const double ours = Seconds(t0);
    std::string ref;
    ref.reserve(64u * n);
    char buf[64];
    t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < n; ++i) {
        std::snprintf(buf, sizeof buf, "%17.6e", (i - n / 2) * 1.2345e-3);
        ref += buf;
    }
    const double libc = Seconds(t0);
    std::printf("\nformatting 2e6 numbers with %%17.6e: %.3f s (snprintf: %.3f s, %.1fx)\n", ours,
                libc, libc / ours);
}

}  // namespace

int main(int argc, char** argv) {
    const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("morvex_bench_" + std::to_string(getpid()));
    fs::create_directories(dir);
    fs::current_path(dir);
    std::printf(
        "| model   |  equations | band | cases | output MB | run s | write-only s | ratio |\n");
    std::printf(
        "|---------|-----------:|-----:|------:|----------:|------:|-------------:|------:|\n");
    const std::vector<int> spanCounts =
        quick ? std::vector<int>{33} : std::vector<int>{333, 666, 1333, 3333};
    for (int cases : {1, 20})
        for (int spans : spanCounts) Run("girder", GirderModel(spans, 10, cases), cases);
    const std::vector<int> storeys =
        quick ? std::vector<int>{16} : std::vector<int>{159, 318, 636, 1587};
    for (int cases : {1, 20})
        for (int s : storeys) Run("frame", FrameModel(s, 20, cases), cases);
    FormatSpeed();
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(dir);
    return 0;
}
