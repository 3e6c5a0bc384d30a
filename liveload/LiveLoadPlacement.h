// The live-load list of the result window and the outcome of one worst placement.
#pragma once

#include <string>
#include <vector>

#include "liveload/LaneLoad.h"

// One entry of the live-load list: its text, the type placed (-1 = none), whether the
// largest (true) or smallest value is wanted and the direction (true = towards +x).
struct LiveLoadEntry {
    const char* text;
    int type;
    bool sign;
    bool rightward;
};

inline constexpr int kLiveLoadEntries = 43;
// Entry 0 ... 42 of the list; entries outside give the "无活载" entry.
const LiveLoadEntry& LiveLoadListEntry(int entry);

// What a placement produced: the reference abscissae of the placed vehicles (heavy vehicle
// first), the load lines written and the total effect on the line.
// A lane load instead has its loaded regions and the ordinate that carries the
// concentrated load, with the two load values (N/m and N, downward negative).
struct LiveLoadPlacement {
    std::vector<double> placements;
    int placeCount = 0;
    double total = 0;
    bool rightward = true;
    std::vector<LaneRegion> laneRegions;
    LaneOrdinate lanePoint;
    double laneUniform = 0, laneConcentrated = 0;
};
