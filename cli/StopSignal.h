// Ctrl-C in the batch tool: a stop request to the running analysis through its stop flag.
#pragma once

#include <atomic>
#include <cstdint>

// While alive, SIGINT and SIGTERM set *flag to 0 (a second signal ends the process as
// usual). The handler does nothing but that store.
class CStopOnSignal {
public:
    explicit CStopOnSignal(std::atomic<std::uint8_t>& flag);
    ~CStopOnSignal();
    CStopOnSignal(const CStopOnSignal&) = delete;
    CStopOnSignal& operator=(const CStopOnSignal&) = delete;
};
