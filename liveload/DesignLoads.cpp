// Values of the highway loading code: Pk, the impact factor and the reduction factors.
#include "liveload/DesignLoads.h"

#include <charconv>
#include <cmath>

#include "platform/Format.h"

double LanePointLoad(double span) {
    if (span < 5) return 270000;
    if (span > 50) return 360000;
    return 2000 * (span + 130);
}

double ImpactFactor(double frequency) {
    if (frequency < 1.5) return 0.05;
    if (frequency > 14) return 0.45;
    return 0.1767 * std::log(frequency) - 0.0157;
}

double LaneReductionFactor(int lanes) {
    static const double kFactors[9] = {1, 1.20, 1.00, 0.78, 0.67, 0.60, 0.55, 0.52, 0.50};
    return lanes >= 1 && lanes <= 8 ? kFactors[lanes] : 1;
}

double LongitudinalReductionFactor(double span) {
    if (span >= 1000) return 0.93;
    if (span >= 800) return 0.94;
    if (span >= 600) return 0.95;
    if (span >= 400) return 0.96;
    if (span >= 150) return 0.97;
    return 1;
}

namespace {

bool ParseDouble(const std::string& text, double& value) {
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, value);
    return !text.empty() && r.ec == std::errc() && r.ptr == end && std::isfinite(value);
}

}  // namespace

bool ParseImpactOption(const std::string& text, DesignLoadOptions& options) {
    double v = 0;
    if (text == "auto") {
        options.impact = DesignLoadOptions::kAuto;
        return true;
    }
    if (text.rfind("mu=", 0) == 0) {
        if (!ParseDouble(text.substr(3), v) || v < 0 || v > 10) return false;
        options.impact = DesignLoadOptions::kMu;
        options.impactValue = v;
        return true;
    }
    if (!ParseDouble(text, v) || !(v > 0) || v > 1e6) return false;
    options.impact = DesignLoadOptions::kFrequency;
    options.impactValue = v;
    return true;
}

std::string DescribeFactors(const DesignFactorSet& f) {
    std::string s = FormatString("L0 = %.3f m", f.span);
    if (f.mode > 0)
        s += FormatString(", f = %.4f Hz (第%d阶)", f.frequency, f.mode);
    else if (f.frequency > 0)
        s += FormatString(", f = %.4f Hz", f.frequency);
    s += FormatString(", 1+μ = %.4f, 车道系数 %.4f, 纵向折减 %.2f, 分布系数 %.4f, 总系数 %.6f",
                      1 + f.mu, f.lane, f.longitudinal, f.distribution, f.total);
    return s;
}
