// Argument reading shared by the export and report commands of the batch tool.
#pragma once

#include <string>
#include <vector>

#include "export/ResultTables.h"

struct ExportArgs {
    std::string model;
    std::string xlsx;        // export: --xlsx
    std::string csvFolder;   // export: --csv
    std::string out;         // report: --out
    std::vector<int> cases;  // report: --cases (0-based); empty for every case
    CExportChoice choice;    // --envelopes, --combinations, --modes, --history
    bool help = false;
};

// Reads MODEL.fem and the options the command allows (from "--xlsx", "--csv", "--out",
// "--cases", "--envelopes", "--combinations", "--modes", "--history"). On a usage error
// prints it with the help text to stderr and returns false.
bool ParseExportArgs(const char* command, const std::vector<std::string>& args,
                     const std::vector<std::string>& allowed, const char* help, ExportArgs& out);
