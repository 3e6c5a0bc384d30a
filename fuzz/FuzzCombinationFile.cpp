// Fuzz target: the combination file and the combinations it drives, on a small two-span
// girder with three load cases and a loading path.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/PlaneFrame.h"
#include "fuzz/FuzzHarness.h"
#include "liveload/Combination.h"
#include "platform/TextFile.h"

namespace {

const char* const kModel =
    "5 4 0 1 1 3 3 4\n1 0 0\n5 16 0 0 1\n1 3e10 1e-5\n1 0.5 0.04 25000 0 0.5 0.5\n"
    "1 1 2 1 1 1\n4 4 5 1 1 1 1\n1 110\n3 10\n5 10\n"
    "1\n3 2 0 -10000 0\n3\n1 1 0\n2 3 7 10 0\n3 3 7 10 0\n1 2 3 4\n1\n2 1.0 3\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    fuzz::InWorkDir([&] {
        WriteWholeFile("f.fem", kModel);
        WriteWholeFile("f_组合.txt", text);
        auto frame = std::make_unique<CPlaneFrame>("f.fem", "f.out");
        if (!frame->Read() || !frame->Solve()) return;
        std::vector<Combination> all;
        if (!ReadCombinationFile("f_组合.txt", frame->m_nCases, all)) return;
        // Each live term costs three envelope searches: long lists are benchmarks.
        size_t terms = 0;
        for (const Combination& c : all) terms += c.terms.size();
        if (terms <= 40) frame->RunCombinations("f_组合.txt", "");
    });
    return 0;
}
