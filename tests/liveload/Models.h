// Small models for the live-load tests, written as data files.
#pragma once

#include <string>
#include <vector>

// A prismatic continuous beam over the given spans, `perSpan` equal elements each, pinned at
// x = 0 and on rollers at the other supports, with the whole deck as the loading path and
// no load cases. `requests` holds the influence-line lines ("element position quantity").
inline std::string ContinuousBeam(const std::vector<double>& spans, int perSpan,
                                  const std::vector<std::string>& requests) {
    const int nElements = perSpan * static_cast<int>(spans.size());
    const int nSupports = static_cast<int>(spans.size()) + 1;
    std::string m = std::to_string(nElements + 1) + " " + std::to_string(nElements) + " 0 1 1 0 " +
                    std::to_string(nSupports) + " " + std::to_string(nElements) + "\n";
    double x = 0;
    int node = 1;
    m += "1 0 0\n";
    for (double span : spans) {
        for (int k = 1; k <= perSpan; ++k)
            m += std::to_string(++node) + " " + std::to_string(x + span * k / perSpan) + " 0\n";
        x += span;
    }
    m += "1 3.45e10\n1 6.5 8.2 26000 0 1.2 0.8\n";
    for (int e = 1; e <= nElements; ++e)
        m += std::to_string(e) + " " + std::to_string(e) + " " + std::to_string(e + 1) + " 1 1 1\n";
    m += "1 110\n";
    for (int s = 1; s < nSupports; ++s) m += std::to_string(1 + s * perSpan) + " 10\n";
    for (int e = 1; e <= nElements; ++e) m += std::to_string(e) + (e % 10 == 0 ? "\n" : " ");
    m += "\n";
    m += std::to_string(requests.size()) + "\n";
    for (const std::string& r : requests) m += r + "\n";
    return m;
}
