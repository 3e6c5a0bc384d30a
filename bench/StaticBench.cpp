// Read + solve + result files of generated models, against the time the machine needs just
// to write the same number of bytes. Usage: morvex-static-bench [--quick]
#include <unistd.h>

#include <algorithm>
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

// The files a run leaves (with the scratch files kept) and their sizes.
std::vector<std::pair<std::string, long long>> Outputs(const std::string& base, int cases) {
    namespace fs = std::filesystem;
    std::vector<std::pair<std::string, long long>> files;
    auto add = [&](const std::string& name) {
        files.emplace_back(name, static_cast<long long>(fs::file_size(name)));
    };
    add(base + ".out");
    add(base + ".stf");
    add(base + "_huozai.txt");
    for (int k = 1; k <= cases; ++k) {
        add(base + "." + std::to_string(k));
        add(FormatString("%s_工况_%d.out", base.c_str(), k));
    }
    return files;
}

void RemoveAll(const std::vector<std::pair<std::string, long long>>& files) {
    for (const auto& f : files) std::remove(f.first.c_str());
}

// The physical floor: writing the same files with the same sizes in 64 KiB blocks, like dd
// bs=64k, and nothing else.
double WriteFloor(const std::vector<std::pair<std::string, long long>>& files) {
    std::vector<char> block(1 << 16, 'x');
    sync();
    const auto t0 = std::chrono::steady_clock::now();
    for (const auto& [name, bytes] : files) {
        FILE* f = std::fopen(("floor_" + std::to_string(&name - &files[0].first)).c_str(), "wb");
        for (long long left = bytes; left > 0; left -= static_cast<long long>(block.size()))
            std::fwrite(block.data(), 1, std::min<long long>(left, block.size()), f);
        std::fclose(f);
    }
    const double s = Seconds(t0);
    for (size_t i = 0; i < files.size(); ++i) std::remove(("floor_" + std::to_string(i)).c_str());
    return s;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void Run(const char* kind, const std::string& model, int cases, int repeats) {
    WriteWholeFile("bench.fem", model);
    std::vector<double> runs, floors;
    long long bytes = 0;
    int dof = 0, band = 0;
    for (int r = 0; r < repeats; ++r) {
        sync();
        const auto t0 = std::chrono::steady_clock::now();
        auto frame = RunAnalysis("bench.fem");
        if (!frame) {
            std::printf("%s: analysis failed\n", kind);
            return;
        }
        // Removing the scratch files is part of a run, as when a window closes.
        frame.reset();
        runs.push_back(Seconds(t0));
        auto keep = RunAnalysis("bench.fem");
        keep->m_keepScratchFiles = true;
        dof = keep->m_nDof;
        band = keep->m_nBand;
        keep.reset();
        const auto files = Outputs("bench", cases);
        bytes = 0;
        for (const auto& f : files) bytes += f.second;
        RemoveAll(files);
        floors.push_back(WriteFloor(files));
    }
    const double run = Median(runs), floor = Median(floors);
    std::printf("| %-7s | %7d | %5d | %3d | %8.1f | %7.3f | %7.3f | %5.2f |\n", kind, dof, band,
                cases, bytes / 1e6, run, floor, run / floor);
    std::fflush(stdout);
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
    std::printf("median of %d run(s); every timed phase starts after sync()\n\n", quick ? 1 : 3);
    std::printf(
        "| model   |  equations | band | cases | output MB | run s | write-only s | ratio |\n");
    std::printf(
        "|---------|-----------:|-----:|------:|----------:|------:|-------------:|------:|\n");
    const std::vector<int> spanCounts =
        quick ? std::vector<int>{33} : std::vector<int>{333, 666, 1333, 3333};
    const int repeats = quick ? 1 : 3;
    for (int cases : {1, 20})
        for (int spans : spanCounts) Run("girder", GirderModel(spans, 10, cases), cases, repeats);
    const std::vector<int> storeys =
        quick ? std::vector<int>{16} : std::vector<int>{159, 318, 636, 1587};
    for (int cases : {1, 20})
        for (int s : storeys) Run("frame", FrameModel(s, 20, cases), cases, repeats);
    FormatSpeed();
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(dir);
    return 0;
}
