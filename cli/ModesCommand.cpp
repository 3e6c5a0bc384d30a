// morvex-cli modes: natural frequencies of the supported frame.
#include <cmath>
#include <cstdio>

#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "cli/Args.h"
#include "cli/StopSignal.h"
#include "engine/AnalysisRun.h"
#include "platform/Format.h"

namespace {

const char* const kModesHelp =
    "usage: morvex-cli modes MODEL.fem [--count K] [--method lapack|jacobi]\n"
    "\n"
    "Runs the static analysis, then the natural-vibration analysis (consistent mass) and\n"
    "prints one line per mode in ascending order:\n"
    "  频率k：circular frequency (rad/s)   frequency (Hz)   period (s)\n"
    "and a last line with the Sturm-sequence check: the number of eigenvalues below one just\n"
    "above the highest mode printed, counted from the pivots of K - shift M, which confirms\n"
    "that no mode below it was missed.\n"
    "  --count K        only the K lowest modes (shift-invert Lanczos on the band matrices;\n"
    "                   for large models); default every mode of the free equations\n"
    "  --method lapack  LAPACK's generalised symmetric-definite solver (default)\n"
    "  --method jacobi  the classical Jacobi of the standard form (reference; every mode)\n"
    "Ctrl-C stops a long eigen-solution; nothing is printed then.\n";

constexpr double kTwoPi = 6.283185307179586;

}  // namespace

int ModesCommand(const std::vector<std::string>& args) {
    CArgs a("modes", kModesHelp);
    if (!a.Read(args, {"--count", "--method"})) return kExitUsage;
    if (a.help) {
        std::fputs(kModesHelp, stdout);
        return kExitOk;
    }
    int count = 0;
    if (a.Has("--count") && !ParseInt(a.Value("--count"), count, 1))
        {
        a.Fail("--count needs a positive integer, not " + a.Value("--count"));
        return kExitUsage;
    }
    EigenMethod method = EigenMethod::kLapack;
    const std::string& name = a.Value("--method");
    if (name == "jacobi")
        method = EigenMethod::kJacobi;
    else if (!name.empty() && name != "lapack")
        {
        a.Fail("--method must be lapack or jacobi, not " + name);
        return kExitUsage;
    }
    if (method == EigenMethod::kJacobi && count > 0)
        {
        a.Fail("--count needs --method lapack");
        return kExitUsage;
    }
    std::unique_ptr<CPlaneFrame> frame = RunAnalysis(a.model);
    if (!frame) return kExitFailed;
    frame->m_eigenMethod = method;
    frame->m_modeCount = count;
    bool ok;
    int shownBefore = 0;
    {
        CStopOnSignal stop(frame->m_keepRunning);
        std::fputs("固有振动分析进行中（Ctrl-C 中止）...\n", stderr);
        std::fflush(stderr);
        frame->m_busy = 1;
        shownBefore = CCliHost::MessagesShown();
        ok = frame->NaturalVibration();
        frame->m_busy = 0;
    }
    // The program's own message (out of memory, say) is the whole story.
    if (!ok && CCliHost::MessagesShown() > shownBefore) return kExitFailed;
    if (!ok) {
        std::fputs(frame->m_keepRunning == 0
                       ? "morvex-cli modes: stopped; no modes\n"
                       : "morvex-cli modes: the eigen-solution found no modes (the mass "
                         "matrix of the free equations is singular: a section of zero weight?)\n",
                   stderr);
        return kExitFailed;
    }
    std::string text;
    for (int k = 0; k < frame->m_nModes; ++k) {
        const double omega = frame->m_omega[frame->m_modeOrder[k]];
        AppendFormat(text, "频率%d：%.4e", k + 1, omega);
        AppendFormat(text, "  %.4e Hz  %.4e s\n", omega / kTwoPi, omega > 0 ? kTwoPi / omega : 0.0);
    }
    const SturmCheck& sturm = frame->m_sturm;
    if (sturm.done) {
        AppendFormat(
            text, "Sturm check: %d eigenvalues below (%.6e rad/s)^2, %d modes found: %s\n",
            sturm.below, std::sqrt(sturm.shift), sturm.reported,
            sturm.below == sturm.reported ? "none missed" : "MISMATCH, a mode may be missing");
    }
    std::fputs(text.c_str(), stdout);
    if (frame->m_nModes == 0) std::fputs("no free equations: no modes\n", stderr);
    return kExitOk;
}
