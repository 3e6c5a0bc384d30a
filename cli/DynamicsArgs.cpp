#include "cli/DynamicsArgs.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

bool ParseIntArg(const std::string& text, int& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || v < -1000000000L || v > 1000000000L) return false;
    value = static_cast<int>(v);
    return true;
}

bool ParseDynamicsArgs(const char* command, const std::vector<std::string>& args,
                       const std::vector<std::string>& allowed, const char* help,
                       DynamicsArgs& out) {
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
        if (!a.empty() && a[0] == '-' && a.size() > 1) {
            if (std::find(allowed.begin(), allowed.end(), a) == allowed.end())
                return fail("unknown option " + a);
            if (a == "--acceleration") {
                out.acceleration = true;
                continue;
            }
            if (i + 1 >= args.size()) return fail(a + " needs a value");
            const std::string& v = args[++i];
            if (a == "--load") {
                out.loadFile = v;
            } else if (a == "--node") {
                if (!ParseIntArg(v, out.node)) return fail("--node needs an integer, not " + v);
            } else if (a == "--count") {
                if (!ParseIntArg(v, out.count) || out.count < 1)
                    return fail("--count needs a positive integer, not " + v);
            } else if (a == "--force") {
                if (!ParseIntArg(v, out.element) || out.element < 1)
                    return fail("--force needs an element number, not " + v);
            } else if (a == "--point") {
                if (!ParseIntArg(v, out.point) || out.point < 1 || out.point > 11)
                    return fail("--point must be 1 ... 11 (relative position 0, 0.1 ... 1), not " +
                                v);
            } else if (a == "--method") {
                out.method = v;
            } else if (!ParseIntArg(v, out.dof) || out.dof < 1 || out.dof > 3) {
                return fail("--dof must be 1 (x), 2 (y) or 3 (rotation), not " + v);
            }
        } else if (out.model.empty()) {
            out.model = a;
        } else {
            return fail("more than one data file");
        }
    }
    if (out.model.empty()) return fail("no data file given");
    return true;
}
