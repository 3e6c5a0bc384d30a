// The entries of the live-load list of the result window.
#include "liveload/LiveLoadPlacement.h"

namespace {

const LiveLoadEntry kEntries[kLiveLoadEntries] = {
    {"无活载", -1, true, true},
    {"人群荷载最大值", 0, true, true},
    {"人群荷载最小值", 0, false, true},
    {"汽10最大值(→)", 1, true, true},
    {"汽10最大值(←)", 1, true, false},
    {"汽10最小值(→)", 1, false, true},
    {"汽10最小值(←)", 1, false, false},
    {"汽15最大值(→)", 2, true, true},
    {"汽15最大值(←)", 2, true, false},
    {"汽15最小值(→)", 2, false, true},
    {"汽15最小值(←)", 2, false, false},
    {"汽20最大值(→)", 3, true, true},
    {"汽20最大值(←)", 3, true, false},
    {"汽20最小值(→)", 3, false, true},
    {"汽20最小值(←)", 3, false, false},
    {"汽超20最大值(→)", 4, true, true},
    {"汽超20最大值(←)", 4, true, false},
    {"汽超20最小值(→)", 4, false, true},
    {"汽超20最小值(←)", 4, false, false},
    {"履带50最大值", 5, true, true},
    {"履带50最小值", 5, false, true},
    {"挂车80最大值", 6, true, true},
    {"挂车80最小值", 6, false, true},
    {"挂车100最大值", 7, true, true},
    {"挂车100最小值", 7, false, true},
    {"挂车120最大值", 8, true, true},
    {"挂车120最小值", 8, false, true},
    {"中—活载最大值(→)", 9, true, true},
    {"中—活载最大值(←)", 9, true, false},
    {"中—活载最小值(→)", 9, false, true},
    {"中—活载最小值(←)", 9, false, false},
    {"用户车列最大值(→)", 10, true, true},
    {"用户车列最大值(←)", 10, true, false},
    {"用户车列最小值(→)", 10, false, true},
    {"用户车列最小值(←)", 10, false, false},
    {"公路-I级最大值", 11, true, true},
    {"公路-I级最小值", 11, false, true},
    {"公路-II级最大值", 12, true, true},
    {"公路-II级最小值", 12, false, true},
    {"车辆荷载最大值(→)", 13, true, true},
    {"车辆荷载最大值(←)", 13, true, false},
    {"车辆荷载最小值(→)", 13, false, true},
    {"车辆荷载最小值(←)", 13, false, false},
};

}  // namespace

const LiveLoadEntry& LiveLoadListEntry(int entry) {
    return entry >= 0 && entry < kLiveLoadEntries ? kEntries[entry] : kEntries[0];
}
