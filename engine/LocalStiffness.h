// The local stiffness matrix of an element from its stiffness coefficients.
#pragma once

#include "engine/PlaneFrame.h"

// Local axes: the global matrix with c = 1, s = 0 (symmetric).
inline void LocalStiffness(const StiffnessTerms& t, double k[6][6]) {
    const auto [kN, kV, kTi, kTj, kii, kjj, kij] = t;
    const double m[6][6] = {
        {kN, 0, 0, -kN, 0, 0}, {0, kV, kTi, 0, -kV, kTj},   {0, kTi, kii, 0, -kTi, kij},
        {-kN, 0, 0, kN, 0, 0}, {0, -kV, -kTi, 0, kV, -kTj}, {0, kTj, kij, 0, -kTj, kjj},
    };
    for (int a = 0; a < 6; ++a)
        for (int b = 0; b < 6; ++b) k[a][b] = m[a][b];
}
