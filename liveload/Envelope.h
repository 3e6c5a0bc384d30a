// An internal-force envelope as read back from its binary file.
#pragma once

#include <vector>

#include "engine/CaseFile.h"

// Values at 11 points (xi = 0, 0.1 ... 1) of every element, and the overall extremes with
// the element (0-based) and the distance from its node i where they occur.
struct EnvelopeData {
    std::vector<double> maxima;  // element e, point j at 11 e + j
    std::vector<double> minima;
    int maxElement = 0;
    double maxDistance = 0, maxValue = 0;
    int minElement = 0;
    double minDistance = 0, minValue = 0;
};

// Size in bytes of the binary envelope file of a model with this many elements: largest and
// smallest value at the 11 points of every element, then one extreme record
// (engine/CaseFile.h).
inline long long EnvelopeFileSize(int elements) {
    return 11 * 2 * 8LL * elements + casefile::kExtremeBytes;
}
