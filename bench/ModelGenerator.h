// Large data files for the benchmarks: continuous girders and multi-storey frames.
#pragma once

#include <string>

// A continuous girder of `spans` spans of 30 m, `perSpan` elements each, nodes numbered along
// it; case 1 is self-weight, every further case a 100 kN load at a different node plus a
// uniform 20 kN/m on one span.
std::string GirderModel(int spans, int perSpan, int cases);

// A frame of `storeys` x `bays` (3.5 m storeys, 6 m bays), nodes numbered floor by floor and
// fixed at the base; case 1 self-weight, further cases a wind load on one side and a floor
// load on one storey.
std::string FrameModel(int storeys, int bays, int cases);
