// A guard for allocations whose size comes from user input.
#pragma once

// True when an allocation of this many bytes can reasonably succeed on this machine (it is
// below the physical memory). Sizes are doubles so that absurd counts cannot overflow.
bool FitsInMemory(double bytes);
