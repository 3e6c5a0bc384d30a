// morvex-cli extract: time histories from MODEL.tim: a node component's displacement and
// velocity or acceleration, or the internal forces at a point of an element.
#include <cstdio>

#include "cli/Commands.h"
#include "cli/Args.h"
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
    CArgs a("extract", kExtractHelp);
    if (!a.Read(args, {"--node", "--dof", "--load", "--force", "--point"}, {"--acceleration"}))
        return kExitUsage;
    if (a.help) {
        std::fputs(kExtractHelp, stdout);
        return kExitOk;
    }
    int node = 0, dof = 0, element = 0, point = 0;
    const bool acceleration = a.Has("--acceleration");
    const std::string& loadFile = a.Value("--load");
    const std::string &nodeText = a.Value("--node"), &dofText = a.Value("--dof");
    const std::string &forceText = a.Value("--force"), &pointText = a.Value("--point");
    if (a.Has("--node") && !ParseInt(nodeText, node))
        return Usage(("--node needs an integer, not " + nodeText).c_str());
    if (a.Has("--dof") && !ParseInt(dofText, dof, 1, 3))
        return Usage(("--dof must be 1 (x), 2 (y) or 3 (rotation), not " + dofText).c_str());
    if (a.Has("--force") && !ParseInt(forceText, element, 1))
        return Usage(("--force needs an element number, not " + forceText).c_str());
    if (a.Has("--point") && !ParseInt(pointText, point, 1, 11))
        return Usage(
            ("--point must be 1 ... 11 (relative position 0, 0.1 ... 1), not " + pointText).c_str());
    const bool force = element != 0 || point != 0;
    if (force && (node != 0 || dof != 0 || acceleration || !loadFile.empty()))
        return Usage("--force and --point go without --node, --dof, --acceleration and --load");
    if (force && (element == 0 || point == 0)) return Usage("--force and --point go together");
    if (!force && (node == 0 || dof == 0)) return Usage("--node and --dof are required");
    if (!loadFile.empty() && !acceleration) return Usage("--load goes with --acceleration");

    std::unique_ptr<CPlaneFrame> frame = RunAnalysis(a.model);
    if (!frame) return kExitFailed;
    if (force && element > frame->m_nElements) {
        std::fprintf(stderr, "morvex-cli extract: element %d is not in the model (1 ... %d)\n",
                     element, frame->m_nElements);
        return kExitUsage;
    }
    if (!force && (node < 1 || node > frame->m_nNodes)) {
        std::fprintf(stderr, "morvex-cli extract: node %d is not in the model (1 ... %d)\n", node,
                     frame->m_nNodes);
        return kExitUsage;
    }
    // The accelerations need the loads, damping and timing of the run.
    if (acceleration &&
        !frame->ReadDynamicRun(loadFile.empty() ? SideFilePath(frame->m_baseName, kDynamicLoadFile)
                                                  : loadFile))
        return kExitFailed;

    std::string path;
    ExtractResult result;
    if (force) {
        path = ForceHistoryPath(*frame, element, point);
        result = ExtractForces(*frame, element, point);
    } else if (acceleration) {
        path = AccelerationHistoryPath(*frame, node, dof - 1);
        result = ExtractAcceleration(*frame, node, dof - 1);
    } else {
        path = ResponseHistoryPath(*frame, node, dof - 1);
        result = ExtractResponse(*frame, node, dof - 1);
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
