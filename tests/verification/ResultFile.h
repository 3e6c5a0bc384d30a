// Reads the numbers of a result file back, as a user's script would.
#pragma once

#include <array>
#include <map>
#include <string>
#include <vector>

class CResultFile {
public:
    bool Load(const std::string& path);

    // 1-based node, case; dir 0 x, 1 y, 2 rotation.
    double Displacement(int node, int loadCase, int dir) const;
    // 1-based element and case; k = 0 ... 5 for Xi, Yi, Mi, Xj, Yj, Mj.
    double EndForce(int element, int loadCase, int k) const;
    // Reaction of the s-th support record (1-based, file order) in a case.
    double Reaction(int support, int loadCase, int dir) const;
    int SupportCount() const { return static_cast<int>(m_reactions.size()); }

private:
    std::map<std::pair<int, int>, std::array<double, 3>> m_disp;
    std::map<std::pair<int, int>, std::array<double, 6>> m_forces;
    std::vector<std::map<int, std::array<double, 3>>> m_reactions;
};

// Internal forces N, Q, M of a per-case listing at relative position 0, 0.1 ... 1 (index 0..10).
class CCaseListing {
public:
    bool Load(const std::string& path);
    std::array<double, 3> At(int element, int point) const;

private:
    std::map<std::pair<int, int>, std::array<double, 3>> m_values;
};
