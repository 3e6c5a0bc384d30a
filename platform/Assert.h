// MORVEX_ASSERT(condition): a range check of an index where it is used. Checked in Debug
// builds and in the sanitizer build (MORVEX_CHECKED, set by CMake), compiled out in
// Release: a failed check prints the condition and where it stands, then aborts.
#pragma once

#if defined(MORVEX_CHECKED)
#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void MorvexAssertFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    std::abort();
}
#define MORVEX_ASSERT(condition) \
    ((condition) ? static_cast<void>(0) : MorvexAssertFailed(#condition, __FILE__, __LINE__))
#else
#define MORVEX_ASSERT(condition) static_cast<void>(0)
#endif
