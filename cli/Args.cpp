#include "cli/Args.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

bool CArgs::Read(const std::vector<std::string>& args, const std::vector<std::string>& valued,
                 const std::vector<std::string>& flags) {
    auto named = [](const std::vector<std::string>& names, const std::string& a) {
        return std::find(names.begin(), names.end(), a) != names.end();
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            help = true;
            return true;
        }
        if (named(flags, a)) {
            m_given.emplace_back(a, std::string());
        } else if (named(valued, a)) {
            if (i + 1 >= args.size()) return Fail(a + " needs a value");
            m_given.emplace_back(a, args[++i]);
        } else if (!a.empty() && a[0] == '-') {
            return Fail("unknown option " + a);
        } else if (!model.empty()) {
            return Fail("more than one data file");
        } else {
            model = a;
        }
    }
    if (model.empty()) return Fail("no data file given");
    return true;
}

bool CArgs::Has(const std::string& name) const {
    return std::any_of(m_given.begin(), m_given.end(),
                       [&](const auto& given) { return given.first == name; });
}

const std::string& CArgs::Value(const std::string& name) const {
    static const std::string kEmpty;
    for (auto it = m_given.rbegin(); it != m_given.rend(); ++it)
        if (it->first == name) return it->second;
    return kEmpty;
}

bool CArgs::Fail(const std::string& why) const {
    std::fprintf(stderr, "morvex-cli %s: %s\n\n%s", m_command, why.c_str(), m_help);
    return false;
}

bool ParseInt(const std::string& text, int& value, int lo, int hi) {
    int v = 0;
    const char* first = text.data();
    const char* end = first + text.size();
    // strtol's leading '+', which the earlier readers took.
    if (first != end && *first == '+' && end - first > 1 && first[1] != '-') ++first;
    const auto r = std::from_chars(first, end, v);
    if (r.ec != std::errc() || r.ptr != end || v < lo || v > hi) return false;
    value = v;
    return true;
}
