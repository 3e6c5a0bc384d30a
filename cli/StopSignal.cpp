#include "cli/StopSignal.h"

#include <signal.h>

namespace {

std::atomic<std::atomic<std::uint8_t>*> g_flag{nullptr};

void OnSignal(int) {
    std::atomic<std::uint8_t>* flag = g_flag.load();
    if (flag) flag->store(0);
}

void Install(void (*handler)(int), int flags) {
    struct sigaction sa {};
    sa.sa_handler = handler;
    sa.sa_flags = flags;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

}  // namespace

CStopOnSignal::CStopOnSignal(std::atomic<std::uint8_t>& flag) {
    static_assert(std::atomic<std::atomic<std::uint8_t>*>::is_always_lock_free);
    g_flag.store(&flag);
    // The handler is reset after the first signal, so that a second one still ends a
    // process that does not stop.
    Install(OnSignal, SA_RESETHAND);
}

CStopOnSignal::~CStopOnSignal() {
    Install(SIG_DFL, 0);
    g_flag.store(nullptr);
}
