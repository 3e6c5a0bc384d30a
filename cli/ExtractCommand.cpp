// morvex-cli extract: time histories from MODEL.tim: a node component's displacement and
// velocity or acceleration, or the internal forces at a point of an element.
#include <cstdio>

#include "cli/Commands.h"
#include "cli/DynamicsArgs.h"
#include "dynamics/ResponseExtraction.h"
#include "engine/AnalysisRun.h"
#include "engine/PlaneFrame.h"
#include "platform/TextFile.h"

namespace {

const char* const kExtractHelp =
    "usage: morvex-cli extract MODEL.fem --node N --dof D [--acceleration [--load FILE]]\n"
    "       morvex-cli extract MODEL.fem --force E --point K\n"
    "\n"
    "Reads MODEL.tim (written by 'morvex-cli dynamic') and writes a time history, one line\n"
    "per time step:\n"
    "  --node N --dof D  node N in direction D (1 x, 2 y, 3 rotation): time, displacement\n"
    "                    and velocity to MODEL_节点N自由度D_动力响应.txt\n"
    "  --acceleration    instead time and acceleration to MODEL_节点N自由度D_加速度.txt,\n"
    "                    from the equations of motion with the loads of the dynamic load\n"
    "                    file of the run (dynamic_load.txt, or --load FILE)\n"
    "  --force E --point K\n"
    "                    element E at point K (1 ... 11: relative position 0, 0.1 ... 1 from\n"
    "                    its i end): time, axial force N, shear force Q and bending moment M\n"
    "                    of the displaced element to MODEL_单元E点K_内力响应.txt\n";

int Usage(const char* why) {
    std::fprintf(stderr, "morvex-cli extract: %s\n\n%s", why, kExtractHelp);
    return kExitUsage;
}

}  // namespace

int ExtractCommand(const std::vector<std::string>& args) {
    DynamicsArgs a;
    if (!ParseDynamicsArgs("extract", args,
                           {"--node", "--dof", "--acceleration", "--load", "--force", "--point"},
                           kExtractHelp, a))
        return kExitUsage;
    if (a.help) {
        std::fputs(kExtractHelp, stdout);
        return kExitOk;
    }
    const bool force = a.element != 0 || a.point != 0;
    if (force && (a.node != 0 || a.dof != 0 || a.acceleration || !a.loadFile.empty()))
        return Usage("--force and --point go without --node, --dof, --acceleration and --load");
    if (force && (a.element == 0 || a.point == 0)) return Usage("--force and --point go together");
    if (!force && (a.node == 0 || a.dof == 0)) return Usage("--node and --dof are required");
    if (!a.loadFile.empty() && !a.acceleration) return Usage("--load goes with --acceleration");

    std::unique_ptr<CPlaneFrame> frame = RunAnalysis(a.model);
    if (!frame) return kExitFailed;
    if (force && a.element > frame->m_nElements) {
        std::fprintf(stderr, "morvex-cli extract: element %d is not in the model (1 ... %d)\n",
                     a.element, frame->m_nElements);
        return kExitUsage;
    }
    if (!force && (a.node < 1 || a.node > frame->m_nNodes)) {
        std::fprintf(stderr, "morvex-cli extract: node %d is not in the model (1 ... %d)\n", a.node,
                     frame->m_nNodes);
        return kExitUsage;
    }
    // The accelerations need the loads, damping and timing of the run.
    if (a.acceleration &&
        !frame->ReadDynamicRun(a.loadFile.empty() ? SideFilePath(frame->m_baseName, kDynamicLoadFile)
                                                  : a.loadFile))
        return kExitFailed;

    std::string path;
    ExtractResult result;
    if (force) {
        path = ForceHistoryPath(*frame, a.element, a.point);
        result = ExtractForces(*frame, a.element, a.point);
    } else if (a.acceleration) {
        path = AccelerationHistoryPath(*frame, a.node, a.dof - 1);
        result = ExtractAcceleration(*frame, a.node, a.dof - 1);
    } else {
        path = ResponseHistoryPath(*frame, a.node, a.dof - 1);
        result = ExtractResponse(*frame, a.node, a.dof - 1);
    }
    switch (result) {
        case ExtractResult::kWritten:
            std::printf("wrote %s (%lld records)\n", path.c_str(), ResponseRecordCount(*frame));
            return kExitOk;
        case ExtractResult::kBadNode:
            return kExitUsage;  // ruled out above
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
