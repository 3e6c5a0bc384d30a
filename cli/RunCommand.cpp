// morvex-cli run: the analysis run of opening a data file.
#include <chrono>
#include <cstdio>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "engine/AnalysisRun.h"
#include "platform/Format.h"
#include "platform/TextFile.h"

namespace {

const char* const kRunHelp =
    "usage: morvex-cli run MODEL.fem [--keep]\n"
    "\n"
    "Reads the data file, solves every load case and writes the results next to it:\n"
    "  MODEL.out            echo of the data, displacements, end forces, reactions\n"
    "  MODEL_工况_k.out     internal forces at 11 points of every element, case k\n"
    "The scratch files MODEL.1 ... MODEL.n, MODEL.stf and MODEL_huozai.txt are removed at\n"
    "the end, as when a result window closes.\n"
    "\n"
    "  --keep   leave the scratch files in place (also when the run fails)\n";

}  // namespace

int RunCommand(const std::vector<std::string>& args) {
    CArgs a("run", kRunHelp);
    if (!a.Read(args, {}, {"--keep"})) return kExitUsage;
    if (a.help) {
        std::fputs(kRunHelp, stdout);
        return kExitOk;
    }
    const std::string& model = a.model;
    const bool keep = a.Has("--keep");
    const auto start = std::chrono::steady_clock::now();
    std::unique_ptr<CPlaneFrame> frame = RunAnalysis(model, keep);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!frame) return kExitFailed;
    const std::string& base = frame->m_baseName;
    std::string report = FormatString("wrote %s.out\n", base.c_str());
    for (int k = 1; k <= frame->m_nCases; ++k)
        AppendFormat(report, "wrote %s\n", frame->CaseTextPath(k).c_str());
    if (keep) {
        for (int k = 1; k <= frame->m_nCases; ++k)
            AppendFormat(report, "kept  %s\n", frame->CaseBinaryPath(k).c_str());
        AppendFormat(report, "kept  %s\nkept  %s\n", frame->StiffnessPath().c_str(),
                     frame->HuozaiPath().c_str());
    }
    AppendFormat(
        report,
        "%d nodes, %d elements, %d equations (half bandwidth %d), %d load case(s) in %.3f s\n",
        frame->m_nNodes, frame->m_nElements, frame->m_nDof, frame->m_nBand, frame->m_nCases,
        seconds);
    std::fputs(report.c_str(), stdout);
    return kExitOk;
}
