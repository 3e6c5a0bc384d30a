// morvex-cli dynamic: the dynamic response into MODEL.tim.
#include <cstdio>

#include "cli/Commands.h"
#include "cli/Args.h"
#include "cli/StopSignal.h"
#include "dynamics/ResponseExtraction.h"
#include "engine/AnalysisRun.h"
#include "engine/PlaneFrame.h"
#include "platform/TextFile.h"

namespace {

const char* const kDynamicHelp =
    "usage: morvex-cli dynamic MODEL.fem [--load FILE] [--method modal|full]\n"
    "\n"
    "Runs the static analysis, then the dynamic response under the dynamic load file\n"
    "(default: dynamic_load.txt beside MODEL.fem, else in the working directory) by\n"
    "precise integration, and writes every time step's displacements and velocities to\n"
    "MODEL.tim. The load is taken as varying linearly between the time steps and\n"
    "integrated exactly.\n"
    "  --method modal  each mode of the Rayleigh-damped system integrated exactly (default)\n"
    "  --method full   the exponential of the whole first-order system by the 2^N\n"
    "                  algorithm (reference; cost grows with the cube of the equations)\n"
    "Ctrl-C stops a long integration; MODEL.tim is then removed.\n";

}  // namespace

int DynamicCommand(const std::vector<std::string>& args) {
    CArgs a("dynamic", kDynamicHelp);
    if (!a.Read(args, {"--load", "--method"})) return kExitUsage;
    if (a.help) {
        std::fputs(kDynamicHelp, stdout);
        return kExitOk;
    }
    ResponseMethod method = ResponseMethod::kModal;
    const std::string& name = a.Value("--method");
    if (name == "full")
        method = ResponseMethod::kFull;
    else if (!name.empty() && name != "modal")
        {
        a.Fail("--method must be modal or full, not " + name);
        return kExitUsage;
    }
    const std::string& loadFile = a.Value("--load");
    std::unique_ptr<CPlaneFrame> frame = RunAnalysis(a.model);
    if (!frame) return kExitFailed;
    frame->m_responseMethod = method;
    bool ok;
    {
        CStopOnSignal stop(frame->m_keepRunning);
        std::fputs("动力响应分析进行中，请等待...\n", stderr);
        std::fflush(stderr);
        ok = frame->DynamicResponse(
            loadFile.empty() ? SideFilePath(frame->m_baseName, kDynamicLoadFile) : loadFile);
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
