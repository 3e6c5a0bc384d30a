// morvex-cli place: the worst placement of a live load on an influence line.
#include <cstdio>

#include "cli/Commands.h"
#include "cli/Args.h"
#include "engine/AnalysisRun.h"
#include "liveload/LiveLoad.h"
#include "liveload/LiveLoadPlacement.h"
#include "platform/Format.h"

namespace {

const char* const kPlaceHelp =
    "usage: morvex-cli place MODEL.fem --line K --entry E [--train FILE]\n"
    "\n"
    "Analyses the data file, places entry E of the live-load list at its worst position on\n"
    "influence line K (1-based) and writes MODEL_活载.fem: the model with the placed loads as\n"
    "the element loads of its single load case, ready to be analysed. Prints the extreme\n"
    "value the placement produces.\n"
    "\n"
    "  --entry E   0 无活载, 1/2 人群荷载 max/min, 3-6 汽10 max→ max← min→ min←,\n"
    "              7-10 汽15, 11-14 汽20, 15-18 汽超20, 19/20 履带50 max/min,\n"
    "              21/22 挂车80, 23/24 挂车100, 25/26 挂车120, 27-30 中—活载,\n"
    "              31-34 用户车列 (user_hz.txt beside MODEL.fem, else in the working\n"
    "              directory)\n"
    "  --train FILE   the user train file of entries 31-34 instead of user_hz.txt\n";

}  // namespace

int PlaceCommand(const std::vector<std::string>& args) {
    CArgs a("place", kPlaceHelp);
    if (!a.Read(args, {"--line", "--entry", "--train"})) return kExitUsage;
    if (a.help) {
        std::fputs(kPlaceHelp, stdout);
        return kExitOk;
    }
    int line = 0, entry = 0;
    if (!ParseInt(a.Value("--line"), line, 1, 1 << 30) ||
        !ParseInt(a.Value("--entry"), entry, 0, kLiveLoadEntries - 1)) {
        std::fprintf(stderr, "morvex-cli place: --line K with K >= 1, --entry 0 ... 34\n\n%s",
                     kPlaceHelp);
        return kExitUsage;
    }
    std::unique_ptr<CPlaneFrame> frame = RunAnalysis(a.model);
    if (!frame) return kExitFailed;
    frame->m_userTrainFile = a.Value("--train");
    if (line > frame->m_nIlLines) {
        std::fprintf(stderr, "morvex-cli place: the data file requests %d influence line(s)\n",
                     frame->m_nIlLines);
        return kExitUsage;
    }
    std::printf("%s\n", LiveLoadListEntry(entry).text);
    if (entry == 0) return kExitOk;
    CLiveLoad load;
    LiveLoadPlacement placement;
    if (!frame->PlaceLiveLoad(line - 1, entry, load, placement)) return kExitFailed;
    std::printf("wrote %s (%d load lines, %d vehicle(s))\n", frame->PlacementPath().c_str(),
                placement.placeCount, static_cast<int>(placement.placements.size()));
    std::printf("%s\n", FormatString("%s %e", "荷载引起的最值为：", placement.total).c_str());
    return kExitOk;
}
