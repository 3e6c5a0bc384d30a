// Fuzz target: the binary envelope file as the envelope graph reads it back, and the same
// bytes as a combination's binary file as the combination graph reads it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/PlaneFrame.h"
#include "fuzz/FuzzHarness.h"
#include "liveload/Combination.h"
#include "liveload/Envelope.h"
#include "platform/TextFile.h"

namespace {

const char* const kModel =
    "3 2 0 1 1 0 2 2\n1 0 0\n3 10 0 0 1\n1 3e10\n1 0.5 0.04 25000 0 0.5 0.5\n"
    "1 1 2 1 1 1\n2 2 3 1 1 1 1\n1 110\n3 10\n1 2\n0\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::InWorkDir([&] {
        static std::unique_ptr<CPlaneFrame> frame;
        if (!frame) {
            WriteWholeFile("f.fem", kModel);
            frame = std::make_unique<CPlaneFrame>("f.fem", "f.out");
            frame->m_keepScratchFiles = true;
            if (!frame->Read() || !frame->Solve()) std::abort();
        }
        const int type = size > 0 ? data[0] % 11 : 0;
        const int quantity = size > 1 ? 1 + data[1] % 3 : 3;
        WriteWholeFile(frame->EnvelopeBinaryPath(type, quantity),
                       std::string_view(reinterpret_cast<const char*>(data), size));
        // What the graphs do with the values: every index they read must exist.
        auto touch = [&](const EnvelopeData& d) {
            double sum = 0;
            for (int e = 0; e < frame->m_nElements; ++e)
                for (int j = 0; j < 11; ++j)
                    sum += d.maxima.at(11 * e + j) - d.minima.at(11 * e + j);
            (void)frame->m_elements.at(d.maxElement);
            (void)frame->m_elements.at(d.minElement);
            (void)sum;
        };
        EnvelopeData envelope;
        if (frame->ReadEnvelope(type, quantity, envelope)) touch(envelope);
        WriteWholeFile(frame->CombinationBinaryPath("f"),
                       std::string_view(reinterpret_cast<const char*>(data), size));
        EnvelopeData combined;
        if (ReadCombinationEnvelope(*frame, "f", quantity, combined)) touch(combined);
    });
    return 0;
}
