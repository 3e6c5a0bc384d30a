// Fuzz target: the data-file reader and, for models of modest size, the static solution.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
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

std::string g_workDir;

void RemoveWorkDir() {
    std::error_code ec;
    std::filesystem::remove_all(g_workDir, ec);
}

// The files go to a private folder in memory, removed at exit. The working directory stays
// (libFuzzer resolves its corpus paths against it), so "huozai.txt" is named absolutely by
// running from that folder only for the call.
const std::string& WorkDir() {
    if (g_workDir.empty()) {
        const std::string root = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        g_workDir = root + "/morvex_fuzz_" + std::to_string(getpid());
        std::filesystem::create_directories(g_workDir);
        std::atexit(RemoveWorkDir);
    }
    return g_workDir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CQuietHost host;
    SetHost(&host);
    // Counts beyond a million describe benchmark-size models (a few generation lines can
    // define them); their allocations would only measure the machine.
    {
        CDataLineReader lines;
        lines.OpenText(std::string(reinterpret_cast<const char*>(data), size));
        std::string control;
        if (lines.Next(control)) {
            CFieldScanner f(control);
            for (int i = 0; i < 8; ++i) {
                int count = 0;
                if (f.Int(count).Ok() && count > 1000000) return 0;
            }
        }
    }
    const std::string fem = WorkDir() + "/f.fem";
    WriteWholeFile(fem, std::string_view(reinterpret_cast<const char*>(data), size));
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(WorkDir());
    {
        CPlaneFrame frame(fem, WorkDir() + "/f.out");
        if (frame.Read()) {
            // Generation lets a few lines define millions of equations or a huge bandwidth;
            // solving those is a benchmark, not a fuzz case.
            double band = 0;
            for (const Element& el : frame.m_elements) {
                int lo = frame.m_nDof, hi = 0;
                for (int d = 0; d < 3; ++d)
                    for (int g : {frame.m_dofNum[el.iNode][d], frame.m_dofNum[el.jNode][d]}) {
                        lo = std::min(lo, g);
                        hi = std::max(hi, g);
                    }
                band = std::max(band, static_cast<double>(hi - lo));
            }
            const double n = frame.m_nDof;
            const double cases = frame.m_nCases + 1.0;
            if (n * (band + 1) * (band + 1) < 1e8 && n * cases < 1e6 &&
                frame.m_nElements * cases < 2e5)
                frame.Solve();
        }
    }
    std::filesystem::current_path(previous);
    return 0;
}
