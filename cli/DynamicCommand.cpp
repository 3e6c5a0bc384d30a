// morvex-cli dynamic: the dynamic response into MODEL.tim.
#include <cstdio>

#include "cli/Commands.h"
#include "cli/DynamicsArgs.h"
#include "cli/StopSignal.h"
#include "dynamics/ResponseExtraction.h"
#include "engine/AnalysisRun.h"
#include "engine/PlaneFrame.h"
#include "platform/TextFile.h"

namespace {

const char* const kDynamicHelp =
    "usage: morvex-cli dynamic MODEL.fem [--load FILE]\n"
    "\n"
    "Runs the static analysis, then the dynamic response under the dynamic load file\n"
    "(default: dynamic_load.txt beside MODEL.fem, else in the working directory) by\n"
    "precise integration, and writes every time step's displacements and velocities\n"
    "to MODEL.tim.\n"
    "Ctrl-C stops a long integration; MODEL.tim is then removed.\n";

}  // namespace

int DynamicCommand(const std::vector<std::string>& args) {
    DynamicsArgs a;
    if (!ParseDynamicsArgs("dynamic", args, {"--load"}, kDynamicHelp, a)) return kExitUsage;
    if (a.help) {
        std::fputs(kDynamicHelp, stdout);
        return kExitOk;
    }
    std::unique_ptr<CPlaneFrame> frame = RunAnalysis(a.model);
    if (!frame) return kExitFailed;
    bool ok;
    {
        CStopOnSignal stop(frame->m_keepRunning);
        std::fputs("动力响应分析进行中，请等待...\n", stderr);
        std::fflush(stderr);
        ok = frame->DynamicResponse(
            a.loadFile.empty() ? SideFilePath(frame->m_baseName, kDynamicLoadFile) : a.loadFile);
    }
    if (!ok) {
        if (frame->m_keepRunning == 0) std::fputs("morvex-cli dynamic: stopped\n", stderr);
        std::fputs("动力响应未能顺利完成！\n", stderr);
        return kExitFailed;
    }
    std::printf("动力响应分析完成！\nwrote %s (%lld records)\n", frame->ResponsePath().c_str(),
                ResponseRecordCount(*frame));
    return kExitOk;
}
