#include "cli/ExportArgs.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "cli/DynamicsArgs.h"
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
            if (!ParseIntArg(piece, a)) return false;
            b = a;
        } else if (!ParseIntArg(piece.substr(0, dash), a) ||
                   !ParseIntArg(piece.substr(dash + 1), b)) {
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
    auto fail = [&](const std::string& why) {
        std::fprintf(stderr, "morvex-cli %s: %s\n\n%s", command, why.c_str(), help);
        return false;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            out.help = true;
            return true;
        }
        if (a.empty() || a[0] != '-') {
            if (!out.model.empty()) return fail("more than one data file");
            out.model = a;
            continue;
        }
        if (std::find(allowed.begin(), allowed.end(), a) == allowed.end())
            return fail("unknown option " + a);
        if (a == "--combinations") {
            out.choice.combinations = true;
            continue;
        }
        if (i + 1 >= args.size()) return fail(a + " needs a value");
        const std::string& v = args[++i];
        if (a == "--xlsx") {
            out.xlsx = v;
        } else if (a == "--csv") {
            out.csvFolder = v;
        } else if (a == "--out") {
            out.out = v;
        } else if (a == "--cases") {
            std::vector<int> cases;
            if (!ParseList(v, 1, 1000000000, cases)) return fail("bad load cases " + v);
            for (int k : cases) out.cases.push_back(k - 1);
        } else if (a == "--envelopes") {
            out.choice.envelopeTypes.clear();
            if (v == "all") {
                for (int t = 0; t < kLiveLoadTypes; ++t) out.choice.envelopeTypes.push_back(t);
            } else if (!ParseList(v, 0, kLiveLoadTypes - 1, out.choice.envelopeTypes)) {
                return fail("bad live-load types " + v + " (0 to " +
                            std::to_string(kLiveLoadTypes - 1) + ", e.g. 1,3 or 1-4 or all)");
            }
        } else if (a == "--modes") {
            if (!ParseIntArg(v, out.choice.modes) || out.choice.modes < 0)
                return fail("bad mode count " + v);
        } else if (a == "--history") {
            const size_t colon = v.find(':');
            int dof = 0;
            if (colon == std::string::npos ||
                !ParseIntArg(v.substr(0, colon), out.choice.historyNode) ||
                !ParseIntArg(v.substr(colon + 1), dof) || out.choice.historyNode < 1 || dof < 1 ||
                dof > 3)
                return fail("--history needs NODE:DOF (DOF 1 x, 2 y, 3 rotation), not " + v);
            out.choice.historyDirection = dof - 1;
        }
    }
    if (out.model.empty()) return fail("no data file given");
    return true;
}
