// morvex-cli export: the model and its results as an Excel workbook or CSV files.
#include <cstdio>

#include "cli/Commands.h"
#include "cli/ExportArgs.h"
#include "engine/AnalysisRun.h"
#include "export/Workbook.h"

namespace {

const char* const kExportHelp =
    "usage: morvex-cli export MODEL.fem [--xlsx FILE.xlsx] [--csv FOLDER]\n"
    "                         [--envelopes TYPES] [--combinations] [--modes N]\n"
    "                         [--history NODE:DOF]\n"
    "\n"
    "Analyses the data file and writes its tables: nodes, elements, sections, materials,\n"
    "supports, loads, displacements and end forces per load case, reactions, internal\n"
    "forces at the 11 points of every element per case, envelopes, influence-line\n"
    "ordinates, frequencies and mode shapes, and a node's response history.\n"
    "\n"
    "  --xlsx FILE       one workbook, one sheet per table, the first row frozen\n"
    "  --csv FOLDER      one UTF-8 CSV file (with BOM) per table in the folder\n"
    "  --envelopes TYPES live-load types (e.g. 1,3 or 1-4 or all, see the envelope\n"
    "                    command for their numbers) whose\n"
    "                    envelopes are computed when missing; envelope files already\n"
    "                    computed for the present data file are exported as well\n"
    "  --combinations    the load combinations of MODEL_组合.txt (see 'morvex-cli\n"
    "                    combine'), computed first\n"
    "  --modes N         the first N natural modes (the vibration is analysed first)\n"
    "  --history N:D     time history of node N, direction D (1 x, 2 y, 3 rotation)\n"
    "                    from MODEL.tim (written by 'morvex-cli dynamic')\n";

}  // namespace

int ExportCommand(const std::vector<std::string>& args) {
    ExportArgs a;
    if (!ParseExportArgs(
            "export", args,
            {"--xlsx", "--csv", "--envelopes", "--combinations", "--modes", "--history"},
            kExportHelp, a))
        return kExitUsage;
    if (a.help) {
        std::fputs(kExportHelp, stdout);
        return kExitOk;
    }
    if (a.xlsx.empty() && a.csvFolder.empty()) {
        std::fprintf(stderr, "morvex-cli export: give --xlsx FILE or --csv FOLDER\n\n%s",
                     kExportHelp);
        return kExitUsage;
    }
    std::unique_ptr<CPlaneFrame> frame = RunAnalysis(a.model);
    if (!frame) return kExitFailed;
    if (a.choice.historyNode > frame->m_nNodes) {
        std::fprintf(stderr, "morvex-cli export: the model has %d node(s)\n", frame->m_nNodes);
        return kExitUsage;
    }
    if (!RunRequestedAnalyses(*frame, a.choice)) return kExitFailed;
    a.choice.envelopeTypes =
        MergeTypes(a.choice.envelopeTypes, CurrentEnvelopeTypes(*frame, a.model));
    std::vector<CTable> tables;
    if (!AllTables(*frame, a.choice, tables)) return kExitFailed;
    if (!a.xlsx.empty()) {
        if (!WriteWorkbook(tables, a.xlsx)) return kExitFailed;
        std::printf("wrote %s (%zu sheets)\n", a.xlsx.c_str(), tables.size());
    }
    if (!a.csvFolder.empty()) {
        if (!WriteCsvFiles(tables, a.csvFolder)) return kExitFailed;
        std::printf("wrote %zu CSV files into %s\n", tables.size(), a.csvFolder.c_str());
    }
    return kExitOk;
}
