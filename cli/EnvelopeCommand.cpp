// morvex-cli envelope: internal-force envelopes under the live loads.
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "cli/Args.h"
#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "engine/AnalysisRun.h"
#include "liveload/DesignLoads.h"
#include "liveload/Envelope.h"
#include "liveload/LiveLoad.h"

namespace {

const char* const kEnvelopeHelp =
    "usage: morvex-cli envelope MODEL.fem --type T --quantity Q [--threads N]\n"
    "           [--span L0] [--impact auto|F_HZ|mu=X] [--lanes N] [--distribution X]\n"
    "\n"
    "Analyses the data file, then computes the envelope (largest and smallest value at 11\n"
    "points of every element) of quantity Q under live-load type T moving along the loading\n"
    "path, and writes next to the data file\n"
    "  MODEL.wT / MODEL.jT / MODEL.zT        binary envelope (moment / shear / axial force)\n"
    "  MODEL_弯矩包络图数据_NAME.out ...     the same as text\n"
    "  MODEL_弯矩包络图同时内力_NAME.out ...  at each extreme the N, Q and M of the placement\n"
    "                                        that gives it, and where its loads stand\n"
    "\n"
    "  --type T       0 人群荷载, 1 汽车—10级, 2 汽车—15级, 3 汽车—20级, 4 汽车—超20级,\n"
    "                 5 履带—50, 6 挂车—80, 7 挂车—100, 8 挂车—120, 9 中—活载,\n"
    "                 10 自定义车列 (user_hz.txt beside MODEL.fem, else in the working\n"
    "                 directory),\n"
    "                 11 公路-I级, 12 公路-II级 (lane loads), 13 车辆荷载, or all\n"
    "  --quantity Q   1 axial force, 2 shear force, 3 bending moment, or all\n"
    "  --threads N    workers of the search (1 or 2, default 2)\n"
    "  --train FILE   the user train file of type 10 instead of user_hz.txt\n"
    "Types 11 to 13 only (without these, one line of loads and no factor):\n"
    "  --span L0      calculation span in m for Pk and the longitudinal factor (default: the\n"
    "                 longest distance between vertically supported nodes of the path)\n"
    "  --impact I     auto (the model's lowest natural frequency), a frequency in Hz, or\n"
    "                 mu=X (the impact factor itself)\n"
    "  --lanes N      design lanes 1 ... 8 (times the transverse reduction factor, with the\n"
    "                 longitudinal factor of long spans)\n"
    "  --distribution X   transverse distribution coefficient of a girder model\n"
    "Progress is shown on stderr.\n";

// The design-load options --span, --impact, --lanes and --distribution; prints the error with
// the help and returns false on a bad value.
bool ParseDesignOptions(const CArgs& a, DesignLoadOptions& out) {
    auto number = [](const std::string& text, double& v) {
        const char* end = text.data() + text.size();
        const auto r = std::from_chars(text.data(), end, v);
        return r.ec == std::errc() && r.ptr == end && std::isfinite(v);
    };
    out = DesignLoadOptions{};
    const std::string& span = a.Value("--span");
    const std::string& impact = a.Value("--impact");
    const std::string& lanes = a.Value("--lanes");
    const std::string& dist = a.Value("--distribution");
    if (!span.empty() && (!number(span, out.span) || !(out.span > 0)))
        return a.Fail("--span needs a length in m above 0");
    if (!impact.empty() && !ParseImpactOption(impact, out))
        return a.Fail("--impact needs auto, a frequency in Hz above 0, or mu=X (X from 0 to 10)");
    if (!lanes.empty() && !ParseInt(lanes, out.lanes, 1, 8)) return a.Fail("--lanes needs 1 ... 8");
    if (!dist.empty() && (!number(dist, out.distribution) || !(out.distribution > 0)))
        return a.Fail("--distribution needs a coefficient above 0");
    return true;
}

}  // namespace

int EnvelopeCommand(const std::vector<std::string>& args) {
    CArgs a("envelope", kEnvelopeHelp);
    if (!a.Read(args, {"--type", "--quantity", "--threads", "--span", "--impact", "--lanes",
                       "--distribution", "--train"}))
        return kExitUsage;
    if (a.help) {
        std::fputs(kEnvelopeHelp, stdout);
        return kExitOk;
    }
    int type = 0, quantity = 0, threads = 2;
    const std::string& t = a.Value("--type");
    const std::string& q = a.Value("--quantity");
    const std::string& w = a.Value("--threads");
    const bool allTypes = t == "all", allQuantities = q == "all";
    if ((!allTypes && !ParseInt(t, type, 0, kLiveLoadTypes - 1)) ||
        (!allQuantities && !ParseInt(q, quantity, 1, 3)) ||
        (!w.empty() && !ParseInt(w, threads, 1, 2))) {
        std::fprintf(stderr,
                     "morvex-cli envelope: --type 0 ... 13 or all, --quantity 1 ... 3 or all, "
                     "--threads 1 or 2\n\n%s",
                     kEnvelopeHelp);
        return kExitUsage;
    }
    DesignLoadOptions design;
    if (!ParseDesignOptions(a, design)) return kExitUsage;
    std::unique_ptr<CPlaneFrame> frame = RunAnalysis(a.model);
    if (!frame) return kExitFailed;
    frame->m_envelopeWorkers = threads;
    frame->m_designLoad = design;
    frame->m_userTrainFile = a.Value("--train");

    CHost& previous = Host();
    // Progress lines are for a person at a terminal, not for logs.
    const bool terminal = isatty(2) != 0;
    CCliHost progress(terminal);
    for (int ty = allTypes ? 0 : type; ty <= (allTypes ? kLiveLoadTypes - 1 : type); ++ty) {
        for (int qu = allQuantities ? 1 : quantity; qu <= (allQuantities ? 3 : quantity); ++qu) {
            const auto start = std::chrono::steady_clock::now();
            SetHost(&progress);
            const bool ok = frame->ComputeEnvelope(ty, qu);
            if (terminal) std::fputs("\r\033[K", stderr);
            SetHost(&previous);
            if (!ok) return kExitFailed;
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            EnvelopeData data;
            if (!frame->ReadEnvelope(ty, qu, data)) return kExitFailed;
            std::printf("wrote %s\nwrote %s\nwrote %s\n", frame->EnvelopeBinaryPath(ty, qu).c_str(),
                        frame->EnvelopeTextPath(ty, qu).c_str(),
                        frame->ConcurrentTextPath(ty, qu).c_str());
            std::printf(
                "  %s: max %e (element %d, %.3f m from node i), min %e (element %d, %.3f m) "
                "in %.3f s\n",
                LiveLoadDialogName(ty), data.maxValue, data.maxElement + 1, data.maxDistance,
                data.minValue, data.minElement + 1, data.minDistance, seconds);
            if (IsDesignLoadType(ty))
                std::printf("  %s\n", DescribeFactors(frame->m_designFactors).c_str());
        }
    }
    return kExitOk;
}
