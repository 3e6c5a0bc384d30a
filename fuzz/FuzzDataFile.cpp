// Fuzz target: the data-file reader and, for models of modest size, the static solution.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/PlaneFrame.h"
#include "fuzz/FuzzHarness.h"
#include "platform/TextFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
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
    fuzz::InWorkDir([&] {
        WriteWholeFile("f.fem", std::string_view(reinterpret_cast<const char*>(data), size));
        CPlaneFrame frame("f.fem", "f.out");
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
    });
    return 0;
}
