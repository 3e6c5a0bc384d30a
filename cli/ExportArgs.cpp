#include "cli/ExportArgs.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "cli/Args.h"
#include "liveload/LiveLoad.h"

namespace {

// "1,3,5" or "1-3" pieces, each from first to last; false on anything else.
bool ParseList(const std::string& text, int first, int last, std::vector<int>& out) {
    std::stringstream in(text);
    std::string piece;
    while (std::getline(in, piece, ',')) {
        const size_t dash = piece.find('-', 1);
        int a = 0, b = 0;
        if (dash == std::string::npos) {
            if (!ParseInt(piece, a)) return false;
            b = a;
        } else if (!ParseInt(piece.substr(0, dash), a) ||
                   !ParseInt(piece.substr(dash + 1), b)) {
            return false;
        }
        if (a < first || b > last || a > b) return false;
        for (int v = a; v <= b; ++v)
            if (std::find(out.begin(), out.end(), v) == out.end()) out.push_back(v);
    }
    return !out.empty();
}

}  // namespace

bool ParseExportArgs(const char* command, const std::vector<std::string>& args,
                     const std::vector<std::string>& allowed, const char* help, ExportArgs& out) {
    CArgs a(command, help);
    std::vector<std::string> valued, flags;
    for (const std::string& name : allowed)
        (name == "--combinations" ? flags : valued).push_back(name);
    if (!a.Read(args, valued, flags)) return false;
    out.help = a.help;
    if (a.help) return true;
    out.model = a.model;
    out.xlsx = a.Value("--xlsx");
    out.csvFolder = a.Value("--csv");
    out.out = a.Value("--out");
    out.choice.combinations = a.Has("--combinations");
    if (a.Has("--cases")) {
        const std::string& v = a.Value("--cases");
        std::vector<int> cases;
        if (!ParseList(v, 1, 1000000000, cases)) return a.Fail("bad load cases " + v);
        for (int k : cases) out.cases.push_back(k - 1);
    }
    if (a.Has("--envelopes")) {
        const std::string& v = a.Value("--envelopes");
        out.choice.envelopeTypes.clear();
        if (v == "all") {
            for (int t = 0; t < kLiveLoadTypes; ++t) out.choice.envelopeTypes.push_back(t);
        } else if (!ParseList(v, 0, kLiveLoadTypes - 1, out.choice.envelopeTypes)) {
            return a.Fail("bad live-load types " + v + " (0 to " +
                          std::to_string(kLiveLoadTypes - 1) + ", e.g. 1,3 or 1-4 or all)");
        }
    }
    if (a.Has("--modes") && !ParseInt(a.Value("--modes"), out.choice.modes, 0))
        return a.Fail("bad mode count " + a.Value("--modes"));
    if (a.Has("--history")) {
        const std::string& v = a.Value("--history");
        const size_t colon = v.find(':');
        int dof = 0;
        if (colon == std::string::npos ||
            !ParseInt(v.substr(0, colon), out.choice.historyNode, 1) ||
            !ParseInt(v.substr(colon + 1), dof, 1, 3))
            return a.Fail("--history needs NODE:DOF (DOF 1 x, 2 y, 3 rotation), not " + v);
        out.choice.historyDirection = dof - 1;
    }
    return true;
}
