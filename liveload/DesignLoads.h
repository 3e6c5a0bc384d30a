// The highway design loads of the current loading code: lane loads (types 11 and 12), the
// vehicle load (type 13), the impact factor and the lane, longitudinal and distribution
// factors that scale their effects.
#pragma once

#include <string>

// Type numbers of the design loads, after the user train (type 10).
inline constexpr int kLaneLoadClassI = 11;
inline constexpr int kLaneLoadClassII = 12;
inline constexpr int kVehicleLoad = 13;

inline bool IsLaneLoadType(int type) {
    return type == kLaneLoadClassI || type == kLaneLoadClassII;
}
inline bool IsDesignLoadType(int type) {
    return type >= kLaneLoadClassI && type <= kVehicleLoad;
}

// Uniform lane load qk of class I in N/m (class II takes 0.75 of it).
inline constexpr double kLaneUniformClassI = 10500;
// Concentrated lane load Pk of class I in N for a calculation span L0 in m.
double LanePointLoad(double span);
// Impact factor mu for a fundamental frequency f in Hz.
double ImpactFactor(double frequency);
// Transverse reduction factor for n design lanes (1 ... 8); 1 outside that range.
double LaneReductionFactor(int lanes);
// Longitudinal reduction factor of a long calculation span L0 in m.
double LongitudinalReductionFactor(double span);

// How the effects of a design load are scaled. Nothing given: one line of loads, factor 1,
// exactly comparable with the older live-load types.
struct DesignLoadOptions {
    enum Impact { kNone, kAuto, kFrequency, kMu };
    double span = 0;  // calculation span L0 in m; 0 = from the supports on the path
    Impact impact = kNone;
    double impactValue = 0;  // the frequency in Hz (kFrequency) or mu (kMu)
    int lanes = 0;           // design lanes; 0 = one line of loads without lane factors
    double distribution = 1;  // transverse distribution coefficient of a girder model
};

// Reads an impact option: "auto", a frequency in Hz ("5") or "mu=X". False on anything
// else (a frequency must be positive, mu not negative).
bool ParseImpactOption(const std::string& text, DesignLoadOptions& options);

// The factors applied to one envelope and where they come from.
struct DesignFactorSet {
    double span = 0;       // L0 used for Pk and the longitudinal factor, m
    double frequency = 0;  // Hz; 0 when mu was given directly or no impact is applied
    int mode = 0;          // 1-based mode of an automatic frequency, else 0
    double mu = 0;
    double lane = 1;  // lanes times the transverse reduction factor
    double longitudinal = 1;
    double distribution = 1;
    double total = 1;  // (1 + mu) x lane x longitudinal x distribution
};

// One line describing the factors for the text files and the batch tool.
std::string DescribeFactors(const DesignFactorSet& f);
