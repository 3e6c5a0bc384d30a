// morvex-cli influence: the listing of one requested influence line.
#include <cstdio>

#include "cli/Commands.h"
#include "cli/Args.h"
#include "engine/AnalysisRun.h"

namespace {

const char* const kInfluenceHelp =
    "usage: morvex-cli influence MODEL.fem --line K\n"
    "\n"
    "Analyses the data file and writes influence line K (1-based, in the order of the data\n"
    "file's requests) at every 0.1 of the loading path to MODEL_影响线数据K.out.\n";

}  // namespace

int InfluenceCommand(const std::vector<std::string>& args) {
    CArgs a("influence", kInfluenceHelp);
    if (!a.Read(args, {"--line"})) return kExitUsage;
    if (a.help) {
        std::fputs(kInfluenceHelp, stdout);
        return kExitOk;
    }
    int line = 0;
    if (!ParseInt(a.Value("--line"), line, 1, 1 << 30)) {
        std::fprintf(stderr, "morvex-cli influence: --line K with K >= 1\n\n%s", kInfluenceHelp);
        return kExitUsage;
    }
    std::unique_ptr<CPlaneFrame> frame = RunAnalysis(a.model);
    if (!frame) return kExitFailed;
    if (line > frame->m_nIlLines) {
        std::fprintf(stderr, "morvex-cli influence: the data file requests %d influence line(s)\n",
                     frame->m_nIlLines);
        return kExitUsage;
    }
    if (!frame->WriteInfluenceListing(line - 1)) return kExitFailed;
    std::printf("wrote %s\n", frame->InfluenceListingPath(line - 1).c_str());
    return kExitOk;
}
