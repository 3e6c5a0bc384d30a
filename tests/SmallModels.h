// Small data files shared by the core and the desktop-program tests.
#pragma once

// A two-element cantilever 1-2-3, fixed at node 1, with a tip load of -1000 in case 1.
inline constexpr const char* kTwoElementBeam =
    "3 2 0 1 1 1 1 0\n"
    "1 0 0 0 0\n"
    "3 10 0 0 1\n"
    "1 2e11 1.2e-5\n"
    "1 0.01 1e-4 78500 0 0.1 0.1\n"
    "1 1 2 1 1 1 0\n"
    "2 2 3 1 1 1 0\n"
    "1 111 0 0 0\n"
    "1\n"
    "3 1 0 -1000 0\n"
    "0\n";
