// Fuzz target: the binary response file B.tim as the response graph (shape and moment) and
// the extractions read it back.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "dynamics/ResponseExtraction.h"
#include "engine/PlaneFrame.h"
#include "fuzz/FuzzHarness.h"
#include "platform/TextFile.h"
#include "view/MorvexView.h"
#include "view/RecordingSurface.h"
#include "view/ViewFrame.h"

namespace {

const char* const kModel =
    "4 3 1 1 1 0 2 3\n1 0 0\n2 4 0\n3 8 0\n4 4 0\n4 2 2 0 0\n1 3e10\n"
    "1 0.5 0.04 25000 0 0.5 0.5\n1 1 2 1 1 1\n2 2 3 1 1 1\n3 4 3 1 1 1\n1 110\n3 10\n1 2 3\n0\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::InWorkDir([&] {
        static std::unique_ptr<CPlaneFrame> frame;
        static CPlainViewFrame viewFrame;
        static CNullViewWindow window;
        static std::unique_ptr<CMorvexView> view;
        if (!frame) {
            WriteWholeFile("f.fem", kModel);
            frame = std::make_unique<CPlaneFrame>("f.fem", "f.out");
            frame->m_keepScratchFiles = true;
            if (!frame->Read() || !frame->Solve()) std::abort();
            view = std::make_unique<CMorvexView>(viewFrame, window);
            view->InitialUpdate(frame.get());
            view->SetClientSize(640, 480, 254.0 / 96.0);
        }
        WriteWholeFile(frame->ResponsePath(),
                       std::string_view(reinterpret_cast<const char*>(data), size));
        const long long records = ResponseRecordCount(*frame);
        view->m_graphKind = 12;
        view->m_nTimeSteps = static_cast<int>(records > 0 ? records : 0);
        view->m_timeIndex = size > 0 ? data[0] % (view->m_nTimeSteps + 1) : 0;
        // The shape or the moment of the record.
        view->m_dynamicMoment = size > 3 && (data[3] & 1) != 0;
        CRecordingSurface surface;
        view->Draw(surface);
        const int node = size > 1 ? 1 + data[1] % 4 : 2;
        ExtractResponse(*frame, node, size > 2 ? data[2] % 3 : 1);
        ExtractForces(*frame, 1 + node % 3, size > 2 ? 1 + data[2] % 11 : 6);
    });
    return 0;
}
