#include "cli/LiveLoadArgs.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "liveload/DesignLoads.h"

bool ParseLiveLoadArgs(const char* command, const char* help, const std::vector<std::string>& args,
                       LiveLoadArgs& out) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            out.help = true;
            return true;
        }
        bool known = false;
        for (size_t k = 0; k < out.names.size(); ++k) {
            if (a != out.names[k]) continue;
            known = true;
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "morvex-cli %s: %s needs a value\n\n%s", command, a.c_str(),
                             help);
                return false;
            }
            out.values[k] = args[++i];
        }
        if (known) continue;
        if (!a.empty() && a[0] == '-') {
            std::fprintf(stderr, "morvex-cli %s: unknown option %s\n\n%s", command, a.c_str(),
                         help);
            return false;
        }
        if (!out.model.empty()) {
            std::fprintf(stderr, "morvex-cli %s: more than one data file\n\n%s", command, help);
            return false;
        }
        out.model = a;
    }
    if (out.model.empty()) {
        std::fprintf(stderr, "morvex-cli %s: no data file given\n\n%s", command, help);
        return false;
    }
    return true;
}

const std::string& OptionValue(const LiveLoadArgs& a, const std::string& name) {
    static const std::string kEmpty;
    for (size_t k = 0; k < a.names.size(); ++k)
        if (a.names[k] == name) return a.values[k];
    return kEmpty;
}

bool ParseIntIn(const std::string& text, int lo, int hi, int& value) {
    int v = 0;
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, v);
    if (text.empty() || r.ec != std::errc() || r.ptr != end || v < lo || v > hi) return false;
    value = v;
    return true;
}

bool ParseDesignOptions(const char* command, const char* help, const LiveLoadArgs& a,
                        DesignLoadOptions& out) {
    auto number = [](const std::string& text, double& v) {
        const char* end = text.data() + text.size();
        const auto r = std::from_chars(text.data(), end, v);
        return r.ec == std::errc() && r.ptr == end && std::isfinite(v);
    };
    out = DesignLoadOptions{};
    const std::string& span = OptionValue(a, "--span");
    const std::string& impact = OptionValue(a, "--impact");
    const std::string& lanes = OptionValue(a, "--lanes");
    const std::string& dist = OptionValue(a, "--distribution");
    const char* bad = nullptr;
    if (!span.empty() && (!number(span, out.span) || !(out.span > 0)))
        bad = "--span needs a length in m above 0";
    else if (!impact.empty() && !ParseImpactOption(impact, out))
        bad = "--impact needs auto, a frequency in Hz above 0, or mu=X (X from 0 to 10)";
    else if (!lanes.empty() && !ParseIntIn(lanes, 1, 8, out.lanes))
        bad = "--lanes needs 1 ... 8";
    else if (!dist.empty() && (!number(dist, out.distribution) || !(out.distribution > 0)))
        bad = "--distribution needs a coefficient above 0";
    if (!bad) return true;
    std::fprintf(stderr, "morvex-cli %s: %s\n\n%s", command, bad, help);
    return false;
}
