// Arithmetic shared by the engine's own main-vehicle tables and placements and by the
// workers of the envelope search, so that both give the same numbers bit for bit.
#pragma once

#include <algorithm>

// UpTo[k]: best total of main vehicles (possibly none) with reference steps <= k that are at
// least stepsMain apart; From[k] the same for steps >= k. E holds the effect of one main
// vehicle at each step 0 ... n. At least one step separates two vehicles, and a gap longer
// than the whole sweep allows one vehicle only.
inline void BuildBestTables(const double* E, int n, int stepsMain, double* upTo, double* from) {
    const int s = std::max(1, stepsMain);
    upTo[0] = std::max(E[0], 0.0);
    from[n] = std::max(E[n], 0.0);
    for (int k = 1; k <= n && k < s; ++k) {
        upTo[k] = std::max(E[k], upTo[k - 1]);
        from[n - k] = std::max(E[n - k], from[n - k + 1]);
    }
    for (int k = s; k <= n; ++k) {
        upTo[k] = std::max(E[k] + upTo[k - s], upTo[k - 1]);
        from[n - k] = std::max(E[n - k] + from[n - k + s], from[n - k + 1]);
    }
}

// The heavy vehicle's value at step k plus the best main vehicles behind and in front.
inline double CombinePlacement(double heavy, long long k, int n, int back, int front,
                               const double* upTo, const double* from) {
    double v = heavy;
    const long long b = k - back, f = k + front;
    if (b >= 0 && b <= n) v += upTo[b];
    if (f >= 0 && f <= n) v += from[f];
    return v;
}

// Steps from the heavy vehicle to a main vehicle behind it and in front of it.
template <class Load>
void PlacementReach(const Load& load, bool rightward, int& back, int& front) {
    back = rightward ? load.m_stepsBehind : load.m_stepsAhead;
    front = rightward ? load.m_stepsAhead : load.m_stepsBehind;
}
