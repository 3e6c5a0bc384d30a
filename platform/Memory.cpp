#include "platform/Memory.h"

#include <unistd.h>

bool FitsInMemory(double bytes) {
    if (!(bytes >= 0)) return false;
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return bytes < 1e12;
    return bytes < static_cast<double>(pages) * static_cast<double>(pageSize);
}
