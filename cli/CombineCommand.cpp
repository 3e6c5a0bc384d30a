// morvex-cli combine: load combinations of the static cases and the live-load envelopes.
#include <cstdio>

#include "cli/Commands.h"
#include "cli/Args.h"
#include "engine/AnalysisRun.h"
#include "liveload/Combination.h"
#include "platform/BinaryFile.h"

namespace {

const char* const kCombineHelp =
    "usage: morvex-cli combine MODEL.fem [--file COMB] [--name NAME]\n"
    "\n"
    "Analyses the data file, then evaluates the load combinations of the combination file\n"
    "(default MODEL_组合.txt beside the data file; its format is in docs/design-loads.md):\n"
    "each combination's largest and smallest N, Q and M at 11 points of every element, the\n"
    "unfavourable or favourable factor of each term chosen per point and per effect. The\n"
    "live-load envelopes it needs are computed and written as by the envelope command.\n"
    "Writes next to the data file, for each combination\n"
    "  MODEL_组合_NAME.out   the combined envelope as text\n"
    "  MODEL_组合_NAME.bin   the same as binary (six doubles per point)\n"
    "  MODEL_组合同时内力_NAME.out   for each of these six extremes the N, Q, M of the\n"
    "                               combined state that gives it\n"
    "  MODEL_组合同时内力_NAME.bin   the same as binary (18 doubles per point)\n"
    "\n"
    "  --file COMB   the combination file\n"
    "  --name NAME   only the combination of this name\n";

}  // namespace

int CombineCommand(const std::vector<std::string>& args) {
    CArgs a("combine", kCombineHelp);
    if (!a.Read(args, {"--file", "--name"})) return kExitUsage;
    if (a.help) {
        std::fputs(kCombineHelp, stdout);
        return kExitOk;
    }
    std::unique_ptr<CPlaneFrame> frame = RunAnalysis(a.model);
    if (!frame) return kExitFailed;
    std::string file = a.Value("--file");
    if (file.empty()) file = frame->m_baseName + "_组合.txt";
    const std::string& name = a.Value("--name");
    if (!frame->RunCombinations(file, name)) return kExitFailed;
    std::vector<Combination> all;
    ReadCombinationFile(file, frame->m_nCases, all);
    for (const Combination& c : all) {
        if (!name.empty() && c.name != name) continue;
        std::printf("wrote %s\nwrote %s\nwrote %s\nwrote %s\n",
                    frame->CombinationTextPath(c.name).c_str(),
                    frame->CombinationBinaryPath(c.name).c_str(),
                    frame->CombinationConcurrentTextPath(c.name).c_str(),
                    frame->CombinationConcurrentBinaryPath(c.name).c_str());
        // The extreme moments, for a first look.
        CBinaryIn in;
        if (!in.Open(frame->CombinationBinaryPath(c.name))) continue;
        double r[kCombinationValues], hi = 0, lo = 0;
        bool first = true;
        while (in.Doubles(r, kCombinationValues)) {
            hi = first ? r[4] : std::max(hi, r[4]);
            lo = first ? r[5] : std::min(lo, r[5]);
            first = false;
        }
        std::printf("  %s: M max %e, M min %e\n", c.name.c_str(), hi, lo);
    }
    return kExitOk;
}
