// Timing of the dynamics' heavy steps on simply supported girders with m = 300, 600 and 1200
// free equations: the eigen-solution, the integrator's Prepare and 1000 integration steps,
// each beside the plain full-scan / triple-loop figure when --plain is given.
//
//   bench_dynamics [--plain] [--plain-limit M] [--only eigen|prepare|steps] [m ...]
//
// --plain-limit (default 600) caps the sizes that get the plain figure: at m = 1200 the
// plain eigen-solution alone takes the better part of an hour.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "dynamics/EigenSolver.h"
#include "dynamics/PreciseIntegrator.h"
#include "engine/PlaneFrame.h"
#include "platform/TextFile.h"
#include "tests/dynamics/DynamicsModels.h"

namespace {

double Seconds(const std::chrono::steady_clock::time_point& start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Figures {
    double fast = -1, plain = -1;
};

void Print(const char* what, int m, const Figures& f) {
    if (f.plain < 0) {
        std::printf("%-22s m = %5d  %9.3f s\n", what, m, f.fast);
    } else {
        std::printf("%-22s m = %5d  %9.3f s   plain %9.3f s   ratio %7.1f\n", what, m, f.fast,
                    f.plain, f.plain / f.fast);
    }
    std::fflush(stdout);
}

// Reduced lower triangles of the free equations.
void Reduce(const CPlaneFrame& fr, std::vector<double>& K, std::vector<double>& M, bool full) {
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
            if (full) {
                K[c * m + r] = K[r * m + c];
                M[c * m + r] = M[r * m + c];
            }
        }
}

}  // namespace

int main(int argc, char** argv) {
    bool plain = false;
    int plainLimit = 600;
    std::string only;
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--plain") {
            plain = true;
        } else if (a == "--plain-limit" && i + 1 < argc) {
            plainLimit = std::atoi(argv[++i]);
        } else if (a == "--only" && i + 1 < argc) {
            only = argv[++i];
        } else if (std::atoi(argv[i]) >= 3) {
            sizes.push_back(std::atoi(argv[i]));
        } else {
            std::fprintf(stderr, "bench_dynamics: unknown argument %s\n", argv[i]);
            return 2;
        }
    }
    if (sizes.empty()) sizes = {300, 600, 1200};

    // A directory of its own under the build tree's working directory.
    std::string tmpl = (std::filesystem::current_path() / "dynamics_bench_XXXXXX").string();
    if (!mkdtemp(tmpl.data())) return 1;
    const std::string dir = tmpl;
    std::filesystem::current_path(dir);
    for (int m : sizes) {
        BeamData b;
        b.length = 100;
        b.elements = m / 3;  // 3 (E + 1) equations, 3 supported
        b.loadingPath = true;
        WriteWholeFile("girder.fem", BeamModel(b));
        CPlaneFrame frame("girder.fem", "girder.out");
        if (!frame.Read() || !frame.Solve() || !frame.BuildDynamicMatrices()) return 1;
        const bool withPlain = plain && m <= plainLimit;

        std::vector<double> K, M;
        Reduce(frame, K, M, false);
        auto want = [&](const char* part) { return only.empty() || only == part; };
        if (want("eigen")) {
            Figures eig;
            std::vector<double> A = K, B = M;
            const auto t0 = std::chrono::steady_clock::now();
            if (!frame.SolveGeneralEigen(A.data(), B.data(), m)) return 1;
            eig.fast = Seconds(t0);
            if (withPlain) {
                A = K;
                B = M;
                StopFlag keep{1};
                const auto t1 = std::chrono::steady_clock::now();
                if (!SolveGeneralEigenPlain(A.data(), B.data(), m, frame.m_nBand, keep)) return 1;
                eig.plain = Seconds(t1);
            }
            Print("eigen-solution", m, eig);
        }

        Reduce(frame, K, M, true);
        std::vector<double> C(K.size());
        for (size_t i = 0; i < C.size(); ++i) C[i] = 0.5 * M[i] + 1e-4 * K[i];
        const double dt = 0.001;
        Figures prep;
        for (int pass = 0; want("prepare") && pass < (withPlain ? 2 : 1); ++pass) {
            std::vector<double> Mr = M;
            CPreciseIntegrator pim(Mr.data(), K.data(), C.data(), m, dt);
            pim.m_plainProducts = pass == 1;
            const auto t0 = std::chrono::steady_clock::now();
            if (!pim.Prepare()) return 1;
            (pass == 0 ? prep.fast : prep.plain) = Seconds(t0);
        }
        if (want("prepare")) Print("Prepare", m, prep);
        if (!want("steps")) continue;

        // The run's state (codes, loads, initial record) from a one-step response.
        WriteWholeFile(kDynamicLoadFile,
                       "0.5 1e-4\n0.001 0.001\n1 1 0\n0 20 -1e5 0 0 0 0\n2 2 -1e4 1 30 0 0\n0\n");
        if (!frame.DynamicResponse()) {
            std::fprintf(stderr, "bench_dynamics: the dynamic response failed in %s\n",
                         dir.c_str());
            return 1;
        }
        Figures steps;
        for (int pass = 0; pass < (withPlain ? 2 : 1); ++pass) {
            std::vector<double> Mr = M;
            CPreciseIntegrator pim(Mr.data(), K.data(), C.data(), m, dt);
            if (!pim.Prepare()) return 1;
            pim.m_plainProducts = pass == 1;
            const auto t0 = std::chrono::steady_clock::now();
            if (!pim.Integrate(frame, 999 * dt)) return 1;
            (pass == 0 ? steps.fast : steps.plain) = Seconds(t0);
        }
        Print("1000 integration steps", m, steps);
    }
    std::filesystem::current_path("/");
    std::filesystem::remove_all(dir);
    return 0;
}
