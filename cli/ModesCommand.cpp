// morvex-cli modes: natural frequencies of the supported frame.
#include <cstdio>

#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "cli/DynamicsArgs.h"
#include "cli/StopSignal.h"
#include "engine/AnalysisRun.h"
#include "platform/Format.h"

namespace {

const char* const kModesHelp =
    "usage: morvex-cli modes MODEL.fem\n"
    "\n"
    "Runs the static analysis, then the natural-vibration analysis (consistent mass,\n"
    "every mode of the free equations) and prints one line per mode in ascending order:\n"
    "  频率k：circular frequency (rad/s)   frequency (Hz)   period (s)\n"
    "Ctrl-C stops a long eigen-solution; nothing is printed then.\n";

constexpr double kTwoPi = 6.283185307179586;

}  // namespace

int ModesCommand(const std::vector<std::string>& args) {
    DynamicsArgs a;
    if (!ParseDynamicsArgs("modes", args, {}, kModesHelp, a)) return kExitUsage;
    if (a.help) {
        std::fputs(kModesHelp, stdout);
        return kExitOk;
    }
    std::unique_ptr<CPlaneFrame> frame = RunAnalysis(a.model);
    if (!frame) return kExitFailed;
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
    std::fputs(text.c_str(), stdout);
    if (frame->m_nModes == 0) std::fputs("no free equations: no modes\n", stderr);
    return kExitOk;
}
