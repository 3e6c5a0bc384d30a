// Timing of the dynamics on simply supported girders, each method beside the one it replaced
// (in the same run):
//   eigen     every mode of m free equations: LAPACK (dsygvd; the band dsbgvd for comparison)
//   against
//             the Jacobi kept as modes --method jacobi (up to --jacobi-limit, default 1200)
//   lowest    the 20 lowest modes of a continuous girder of --lowest-equations (default
//             100000) equations over 20 spans of 50 m: band matrices, shift-invert Lanczos,
//             the eigenvalue refinement and the Sturm check
//   response  a whole dynamic response run (eigen-solution or exponential included): the
//             modal method against --method full (up to --full-limit, default 600), with
//             3000 steps up to m = 600 and 1000 steps beyond
//
//   morvex-dynamics-bench [--only eigen|lowest|response] [--jacobi-limit M] [--full-limit M] [m ...]
#include <lapacke.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/PlaneFrame.h"
#include "platform/Format.h"
#include "platform/TextFile.h"
#include "tests/dynamics/DynamicsModels.h"

namespace {

double Seconds(const std::chrono::steady_clock::time_point& start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Print(const char* what, int m, double fast, const char* otherName, double other) {
    if (other < 0) {
        std::printf("%-28s m = %6d  %9.3f s\n", what, m, fast);
    } else {
        std::printf("%-28s m = %6d  %9.3f s   %s %9.3f s   ratio %7.1f\n", what, m, fast, otherName,
                    other, other / fast);
    }
    std::fflush(stdout);
}

// Reduced lower triangles of the free equations.
void Reduce(const CPlaneFrame& fr, std::vector<double>& K, std::vector<double>& M) {
    std::vector<int> free;
    for (int i = 0; i < fr.m_nDof; ++i)
        if (fr.m_dofStatus[i] == 0) free.push_back(i);
    const size_t m = free.size(), n = static_cast<size_t>(fr.m_nDof);
    K.assign(m * m, 0.0);
    M.assign(m * m, 0.0);
    for (size_t r = 0; r < m; ++r)
        for (size_t c = 0; c <= r; ++c) {
            K[r * m + c] = fr.m_fullK[free[r] * n + free[c]];
            M[r * m + c] = fr.m_fullM[free[r] * n + free[c]];
        }
}

// The band driver on the same matrices, for the choice of the dense one.
double BandDriverSeconds(const std::vector<double>& K, const std::vector<double>& M, int m,
                         int band) {
    const size_t ld = static_cast<size_t>(band) + 1;
    std::vector<double> ab(m * ld), bb(m * ld), w(m), z(static_cast<size_t>(m) * m);
    for (size_t j = 0; j < static_cast<size_t>(m); ++j)
        for (size_t i = j >= ld - 1 ? j - (ld - 1) : 0; i <= j; ++i) {
            ab[j * ld + ld - 1 + i - j] = K[j * m + i];
            bb[j * ld + ld - 1 + i - j] = M[j * m + i];
        }
    const auto t0 = std::chrono::steady_clock::now();
    if (LAPACKE_dsbgvd(LAPACK_COL_MAJOR, 'V', 'U', m, band, band, ab.data(), static_cast<int>(ld),
                       bb.data(), static_cast<int>(ld), w.data(), z.data(), m) != 0)
        return -1;
    return Seconds(t0);
}

bool Girder(int elements, CPlaneFrame*& frame) {
    BeamData b;
    b.length = 100;
    b.elements = elements;
    b.loadingPath = true;
    WriteWholeFile("girder.fem", BeamModel(b));
    frame = new CPlaneFrame("girder.fem", "girder.out");
    return frame->Read() && frame->Solve();
}

// A 20-span continuous concrete box girder (50 m spans, every support fixed against
// horizontal and vertical motion) in about equations / 3 equal elements. A single span cut
// that fine would exceed what double precision holds (the solution refuses it).
bool ContinuousGirder(int equations, CPlaneFrame*& frame) {
    const int spans = 20;
    // Free equations: 3 per node, less the two fixed at each support.
    const int per = std::max(1, (equations + 2 * (spans + 1) - 3 + 3 * spans - 1) / (3 * spans));
    const int elements = spans * per, nodes = elements + 1;
    const double length = 50.0 * spans;
    std::string t = FormatString("%d %d 0 1 1 0 %d 0\n", nodes, elements, spans + 1);
    for (int k = 0; k < nodes; ++k)
        t += FormatString("%d %.17g 0 0 0\n", k + 1, length * k / elements);
    t += "1 3.45e10 1e-5\n1 6 4 26000 0 0.5 0.5\n";
    for (int e = 1; e <= elements; ++e) t += FormatString("%d %d %d 1 1 1 0\n", e, e, e + 1);
    for (int s = 0; s <= spans; ++s) t += FormatString("%d 110 0 0 0\n", 1 + s * per);
    t += "0\n";
    WriteWholeFile("continuous.fem", t);
    frame = new CPlaneFrame("continuous.fem", "continuous.out");
    return frame->Read() && frame->Solve();
}

}  // namespace

int main(int argc, char** argv) {
    int jacobiLimit = 1200, fullLimit = 600, lowestEquations = 100000;
    std::string only;
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--jacobi-limit" && i + 1 < argc) {
            jacobiLimit = std::atoi(argv[++i]);
        } else if (a == "--full-limit" && i + 1 < argc) {
            fullLimit = std::atoi(argv[++i]);
        } else if (a == "--lowest-equations" && i + 1 < argc) {
            lowestEquations = std::atoi(argv[++i]);
        } else if (a == "--only" && i + 1 < argc) {
            only = argv[++i];
        } else if (std::atoi(argv[i]) >= 3) {
            sizes.push_back(std::atoi(argv[i]));
        } else {
            std::fprintf(stderr, "morvex-dynamics-bench: unknown argument %s\n", argv[i]);
            return 2;
        }
    }
    if (sizes.empty()) sizes = {600, 1200, 3000};
    auto want = [&](const char* part) { return only.empty() || only == part; };

    // A directory of its own under the build tree's working directory.
    std::string tmpl = (std::filesystem::current_path() / "dynamics_bench_XXXXXX").string();
    if (!mkdtemp(tmpl.data())) return 1;
    const std::string dir = tmpl;
    std::filesystem::current_path(dir);
    for (int m : sizes) {
        CPlaneFrame* raw = nullptr;
        const bool built = Girder(m / 3, raw);  // 3 (E + 1) equations, 3 supported
        std::unique_ptr<CPlaneFrame> frame(raw);
        if (!built || !frame->BuildDynamicMatrices()) return 1;
        if (want("eigen")) {
            std::vector<double> K, M;
            Reduce(*frame, K, M);
            std::vector<double> A = K, B = M;
            frame->m_eigenMethod = EigenMethod::kLapack;
            auto t0 = std::chrono::steady_clock::now();
            if (!frame->SolveGeneralEigen(A.data(), B.data(), m)) return 1;
            const double lapack = Seconds(t0);
            double jacobi = -1;
            if (m <= jacobiLimit) {
                A = K;
                B = M;
                frame->m_eigenMethod = EigenMethod::kJacobi;
                t0 = std::chrono::steady_clock::now();
                if (!frame->SolveGeneralEigen(A.data(), B.data(), m)) return 1;
                jacobi = Seconds(t0);
            }
            Print("every mode, LAPACK dsygvd", m, lapack, "Jacobi", jacobi);
            Print("every mode, band dsbgvd", m,
                  BandDriverSeconds(K, M, m, std::min(frame->m_nBand, m - 1)), "", -1);
        }
        if (!want("response")) continue;
        const int steps = m <= 600 ? 3000 : 1000;
        const double dt = 0.002;
        WriteWholeFile(kDynamicLoadFile,
                       FormatString("0.5 1e-4\n%.17g %.17g\n1 1 0\n0 20 -1e5 0 0 0 0\n"
                                    "%d 2 -1e4 1 30 0 0\n0\n",
                                    (steps - 1) * dt, dt, m / 6 + 1));
        double times[2] = {-1, -1};
        for (int pass = 0; pass < (m <= fullLimit ? 2 : 1); ++pass) {
            frame->m_responseMethod = pass == 0 ? ResponseMethod::kModal : ResponseMethod::kFull;
            const auto t0 = std::chrono::steady_clock::now();
            if (!frame->DynamicResponse()) {
                std::fprintf(stderr, "morvex-dynamics-bench: the response failed in %s\n", dir.c_str());
                return 1;
            }
            times[pass] = Seconds(t0);
        }
        Print(FormatString("response, %d steps, modal", steps).c_str(), m, times[0], "full",
              times[1]);
    }
    if (want("lowest")) {
        CPlaneFrame* raw = nullptr;
        const bool built = ContinuousGirder(lowestEquations, raw);
        std::unique_ptr<CPlaneFrame> frame(raw);
        if (!built) return 1;
        frame->m_modeCount = 20;
        const auto t0 = std::chrono::steady_clock::now();
        if (!frame->NaturalVibration()) return 1;
        const double lowest = Seconds(t0);
        int m = 0;
        for (int i = 0; i < frame->m_nDof; ++i) m += frame->m_dofStatus[i] == 0;
        Print("20 lowest modes", m, lowest, "", -1);
        std::printf("  Sturm check: %d eigenvalues below the shift, %d modes found\n",
                    frame->m_sturm.below, frame->m_sturm.reported);
    }
    std::filesystem::current_path("/");
    std::filesystem::remove_all(dir);
    return 0;
}
