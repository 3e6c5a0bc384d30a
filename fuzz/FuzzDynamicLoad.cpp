// Fuzz target: the dynamic load file and the response run it drives, on a small fixed frame
// (a propped girder with a slave node and a loading path).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "engine/PlaneFrame.h"
#include "platform/Host.h"
#include "platform/TextFile.h"

namespace {

class CQuietHost : public CHost {
public:
    void Message(const std::string&, const std::string&) override {}
    void Status(const std::string&) override {}
};

const char* const kModel =
    "5 4 1 1 1 0 2 3\n1 0 0\n2 4 0\n3 8 1\n4 12 0\n5 4 0\n5 2 2 0 0\n1 3e10\n"
    "1 0.5 0.04 25000 0 0.5 0.5\n1 1 2 1 1 1\n2 2 3 1 1 1\n3 3 4 1 1 1\n4 5 3 1 1 1\n"
    "1 110\n4 10\n1 2 3\n0\n";

std::string g_workDir;

void RemoveWorkDir() {
    std::error_code ec;
    std::filesystem::remove_all(g_workDir, ec);
}

// A private folder in memory, removed at exit; the run works in it only for the call.
const std::string& WorkDir() {
    if (g_workDir.empty()) {
        const std::string root = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        g_workDir = root + "/morvex_fuzz_dyn_" + std::to_string(getpid());
        std::filesystem::create_directories(g_workDir);
        std::atexit(RemoveWorkDir);
    }
    return g_workDir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CQuietHost host;
    SetHost(&host);
    const std::string text(reinterpret_cast<const char*>(data), size);
    // Long runs only measure the machine: keep T / dt and the record counts modest.
    {
        CDataLineReader lines;
        lines.OpenText(text);
        std::string line;
        double T = 0, dt = 0;
        unsigned counts[3] = {0, 0, 0};
        if (lines.Next(line) && lines.Next(line)) {
            CFieldScanner(line).Double(T).Double(dt);
            if (dt > 0 && T / dt > 200) return 0;
            if (lines.Next(line)) {
                CFieldScanner(line).UInt(counts[0]).UInt(counts[1]).UInt(counts[2]);
                if (counts[0] + counts[1] + counts[2] > 1000) return 0;
            }
        }
    }
    const std::filesystem::path old = std::filesystem::current_path();
    std::filesystem::current_path(WorkDir());
    WriteWholeFile("f.fem", kModel);
    WriteWholeFile(kDynamicLoadFile, text);
    {
        auto frame = std::make_unique<CPlaneFrame>("f.fem", "f.out");
        if (frame->Read() && frame->Solve()) frame->DynamicResponse();
    }
    std::filesystem::current_path(old);
    return 0;
}
