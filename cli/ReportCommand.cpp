// morvex-cli report: the calculation report of a model as a PDF document.
#include "cli/Commands.h"

#ifndef MORVEX_HAS_RENDER

#include <cstdio>

// Built without Qt (the fuzz build): the command exists but cannot draw.
int ReportCommand(const std::vector<std::string>&) {
    std::fputs("morvex-cli report: this build has no drawing (built without the desktop parts)\n",
               stderr);
    return kExitFailed;
}

#else

#include <cstdio>
#include <cstdlib>

#include "cli/ExportArgs.h"
#include "cli/HeadlessQt.h"
#include "engine/AnalysisRun.h"
#include "export/qt/CalcReport.h"
#include "view/qt/QtSurface.h"

namespace {

const char* const kReportHelp =
    "usage: morvex-cli report MODEL.fem --out FILE.pdf [--cases LIST] [--envelopes TYPES]\n"
    "                         [--combinations] [--modes N]\n"
    "\n"
    "Analyses the data file and writes its calculation report (计算书): a cover, the model's\n"
    "tables and drawing, per load case the extremes, reactions, displacements and the\n"
    "displaced shape with the M, Q and N diagrams, every influence line, the envelopes,\n"
    "combinations and natural modes asked for. Every page carries the model, the section and its "
    "number.\n"
    "\n"
    "  --out FILE.pdf    the report\n"
    "  --cases LIST      load cases, e.g. 1,3 or 1-2 (default: every case)\n"
    "  --envelopes TYPES live-load types (e.g. 3 or 1-4 or all, numbered as in the\n"
    "                    envelope command), computed when\n"
    "                    missing; envelopes already computed for the present data file are\n"
    "                    reported as well\n"
    "  --combinations    the load combinations of MODEL_组合.txt (see 'morvex-cli\n"
    "                    combine'), computed first\n"
    "  --modes N         the first N natural modes (the vibration is analysed first)\n";

}  // namespace

int ReportCommand(const std::vector<std::string>& args) {
    ExportArgs a;
    if (!ParseExportArgs("report", args,
                         {"--out", "--cases", "--envelopes", "--combinations", "--modes"},
                         kReportHelp, a))
        return kExitUsage;
    if (a.help) {
        std::fputs(kReportHelp, stdout);
        return kExitOk;
    }
    if (a.out.empty()) {
        std::fprintf(stderr, "morvex-cli report: no --out file given\n\n%s", kReportHelp);
        return kExitUsage;
    }
    const CHeadlessQt qt("report");

    std::unique_ptr<CPlaneFrame> frame = RunAnalysis(a.model);
    if (!frame) return kExitFailed;
    for (int k : a.cases)
        if (k >= frame->m_nCases) {
            std::fprintf(stderr, "morvex-cli report: the model has %d load case(s)\n",
                         frame->m_nCases);
            return kExitUsage;
        }
    if (!RunRequestedAnalyses(*frame, a.choice)) return kExitFailed;
    CReportChoice choice;
    choice.cases = a.cases;
    choice.results = a.choice;
    choice.results.envelopeTypes =
        MergeTypes(a.choice.envelopeTypes, CurrentEnvelopeTypes(*frame, a.model));
    if (!WriteCalcReport(*frame, a.model, choice, a.out)) return kExitFailed;
    std::printf("wrote %s\n", a.out.c_str());
    return kExitOk;
}

#endif  // MORVEX_HAS_RENDER
