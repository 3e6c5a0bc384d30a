// What every fuzz target shares: a silent host and a private working folder in memory.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/Host.h"

namespace fuzz {

class CQuietHost : public CHost {
public:
    void Message(const std::string&, const std::string&) override {}
    void Status(const std::string&) override {}
};

inline std::string& WorkDirName() {
    static std::string dir;
    return dir;
}

inline void RemoveWorkDir() {
    std::error_code ec;
    std::filesystem::remove_all(WorkDirName(), ec);
}

// A folder of this process in /dev/shm (or /tmp), removed at exit.
inline const std::string& WorkDir() {
    std::string& dir = WorkDirName();
    if (dir.empty()) {
        const std::string root = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        dir = root + "/morvex_fuzz_" + std::to_string(getpid());
        std::filesystem::create_directories(dir);
        std::atexit(RemoveWorkDir);
    }
    return dir;
}

// Runs one input inside the work folder with the silent host. The fixed auxiliary files
// ("user_hz.txt", "dynamic_load.txt") live in the working directory, but
// libFuzzer resolves its corpus paths against the original one, so it is restored after.
template <typename F>
void InWorkDir(F&& body) {
    static CQuietHost host;
    SetHost(&host);
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(WorkDir());
    body();
    std::filesystem::current_path(previous);
}

}  // namespace fuzz
