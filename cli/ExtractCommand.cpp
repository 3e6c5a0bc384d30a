// morvex-cli extract: the time history of one node component from MODEL.tim.
#include <cstdio>

#include "cli/Commands.h"
#include "cli/DynamicsArgs.h"
#include "dynamics/ResponseExtraction.h"
#include "engine/AnalysisRun.h"

namespace {

const char* const kExtractHelp =
    "usage: morvex-cli extract MODEL.fem --node N --dof D\n"
    "\n"
    "Reads MODEL.tim (written by 'morvex-cli dynamic') and writes the time history of\n"
    "node N in direction D (1 x, 2 y, 3 rotation) to MODEL_节点N自由度D_动力响应.txt:\n"
    "one line per time step with time, displacement and velocity.\n";

}  // namespace

int ExtractCommand(const std::vector<std::string>& args) {
    DynamicsArgs a;
    if (!ParseDynamicsArgs("extract", args, {"--node", "--dof"}, kExtractHelp, a))
        return kExitUsage;
    if (a.help) {
        std::fputs(kExtractHelp, stdout);
        return kExitOk;
    }
    if (a.node == 0 || a.dof == 0) {
        std::fprintf(stderr, "morvex-cli extract: --node and --dof are required\n\n%s",
                     kExtractHelp);
        return kExitUsage;
    }
    std::unique_ptr<CPlaneFrame> frame = RunAnalysis(a.model);
    if (!frame) return kExitFailed;
    switch (ExtractResponse(*frame, a.node, a.dof - 1)) {
        case ExtractResult::kWritten:
            std::printf("wrote %s (%lld records)\n",
                        ResponseHistoryPath(*frame, a.node, a.dof - 1).c_str(),
                        ResponseRecordCount(*frame));
            return kExitOk;
        case ExtractResult::kBadNode:
            std::fprintf(stderr, "morvex-cli extract: node %d is not in the model (1 ... %d)\n",
                         a.node, frame->m_nNodes);
            return kExitUsage;
        case ExtractResult::kNoResponse:
            std::fprintf(stderr,
                         "morvex-cli extract: %s is missing or empty; run 'morvex-cli dynamic' "
                         "first\n",
                         frame->ResponsePath().c_str());
            return kExitFailed;
        case ExtractResult::kBadResponse:
        case ExtractResult::kCannotWrite:
            break;
    }
    return kExitFailed;
}
