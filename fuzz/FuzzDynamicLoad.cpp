// Fuzz target: the dynamic load file and the response run it drives, on a small fixed frame
// (a propped girder with a slave node and a loading path).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/PlaneFrame.h"
#include "fuzz/FuzzHarness.h"
#include "platform/TextFile.h"

namespace {

const char* const kModel =
    "5 4 1 1 1 0 2 3\n1 0 0\n2 4 0\n3 8 1\n4 12 0\n5 4 0\n5 2 2 0 0\n1 3e10\n"
    "1 0.5 0.04 25000 0 0.5 0.5\n1 1 2 1 1 1\n2 2 3 1 1 1\n3 3 4 1 1 1\n4 5 3 1 1 1\n"
    "1 110\n4 10\n1 2 3\n0\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
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
    fuzz::InWorkDir([&] {
        WriteWholeFile("f.fem", kModel);
        WriteWholeFile(kDynamicLoadFile, text);
        auto frame = std::make_unique<CPlaneFrame>("f.fem", "f.out");
        if (frame->Read() && frame->Solve()) frame->DynamicResponse();
    });
    return 0;
}
