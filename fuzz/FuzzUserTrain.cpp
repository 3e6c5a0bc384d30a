// Fuzz target: the user train file "user_hz.txt" and the envelope search it drives, on a
// small two-span girder with a loading path.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/PlaneFrame.h"
#include "fuzz/FuzzHarness.h"
#include "liveload/LiveLoad.h"
#include "platform/TextFile.h"

namespace {

const char* const kModel =
    "5 4 0 1 1 0 3 4\n1 0 0\n5 16 0 0 1\n1 3e10\n1 0.5 0.04 25000 0 0.5 0.5\n"
    "1 1 2 1 1 1\n4 4 5 1 1 1 1\n1 110\n3 10\n5 10\n1 2 3 4\n1\n2 1.0 3\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    fuzz::InWorkDir([&] {
        WriteWholeFile("f.fem", kModel);
        WriteWholeFile(kUserTrainFile, text);
        auto frame = std::make_unique<CPlaneFrame>("f.fem", "f.out");
        if (!frame->Read() || !frame->Solve()) return;
        CLiveLoad train;
        if (!train.BuildLiveLoad(10, frame->m_ilXMin, frame->m_ilXMax)) return;
        // Sweeps of millions of steps are benchmarks, not fuzz cases.
        const double work =
            (train.m_nSteps + 1.0) * (train.m_nHeavyAxles + train.m_nMainAxles + 1.0);
        if (work < 2e5) frame->ComputeEnvelope(10, 3);
    });
    return 0;
}
