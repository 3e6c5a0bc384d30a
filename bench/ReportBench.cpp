// The calculation report of the bundled girder (every case, the 汽车—20级 envelopes, two
// modes: 37 pages, 22 of them drawings) against what a user made before it: the same
// pictures drawn one by one into PNG files as the render command writes them.
//
//   morvex-report-bench [benchmark options]
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "engine/AnalysisRun.h"
#include "export/qt/CalcReport.h"
#include "platform/Format.h"
#include "platform/Host.h"
#include "view/MorvexView.h"
#include "view/ViewFrame.h"
#include "view/qt/QtSurface.h"
#include "view/qt/ViewRender.h"

namespace {

class CQuietHost : public CHost {
public:
    void Message(const std::string&, const std::string&) override {}
    void Status(const std::string&) override {}
};

// The girder analysed once in a scratch folder, with the envelopes and modes the report shows.
struct Girder {
    std::string dir;
    std::unique_ptr<CPlaneFrame> frame;
    CReportChoice choice;

    Girder() {
        dir = (std::filesystem::temp_directory_path() / "morvex-report-bench").string();
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
        std::filesystem::copy_file(MORVEX_SOURCE_DIR "/examples/three_span_girder.fem", "g.fem",
                                   std::filesystem::copy_options::overwrite_existing);
        frame = RunAnalysis("g.fem");
        choice.results.envelopeTypes = {3};
        choice.results.modes = 2;
        if (!frame || !RunRequestedAnalyses(*frame, choice.results)) std::abort();
    }
};

Girder& TheGirder() {
    static Girder g;
    return g;
}

void CalcReport(benchmark::State& state) {
    Girder& g = TheGirder();
    for (auto _ : state)
        if (!WriteCalcReport(*g.frame, "g.fem", g.choice, "r.pdf")) state.SkipWithError("report");
}
BENCHMARK(CalcReport)->Unit(benchmark::kMillisecond)->UseRealTime();

// The report's 22 drawings as 1600 x 1000 PNG pictures at 150 dpi.
void PngPictures(benchmark::State& state) {
    Girder& g = TheGirder();
    CPlainViewDocument document(g.frame.get());
    document.m_modesReady = true;
    CPlainViewFrame viewFrame;
    CNullViewWindow window;
    CMorvexView view(viewFrame, window);
    view.SetDocument(&document);
    view.InitialUpdate(g.frame.get());
    struct Picture {
        int kind, *index, value;
    };
    std::vector<Picture> pictures{{graph::kStructure, nullptr, 0}};
    for (int k = 0; k < 3; ++k)
        for (int kind : {graph::kDisplaced, graph::kMoment, graph::kShear, graph::kAxial})
            pictures.push_back({kind, &view.m_caseIndex, k});
    for (int l = 0; l < 4; ++l) pictures.push_back({graph::kInfluence, &view.m_lineIndex, l});
    for (int kind : {graph::kMomentEnvelope, graph::kShearEnvelope, graph::kAxialEnvelope})
        pictures.push_back({kind, &view.m_envelopeType, 3});
    for (int m = 0; m < 2; ++m) pictures.push_back({graph::kMode, &view.m_modeIndex, m});
    std::string error;
    for (auto _ : state) {
        int n = 0;
        for (const Picture& p : pictures) {
            if (p.index) *p.index = p.value;
            view.m_graphScale[p.kind] = CGraphScale{};
            view.OnGraphSelector(p.kind);
            const std::string name = FormatString("p%d.png", n++);
            if (!RenderViewToFile(view, 1600, 1000, 150, name, true, error))
                state.SkipWithError("png");
        }
    }
}
BENCHMARK(PngPictures)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    InstallViewFonts();
    CQuietHost host;
    SetHost(&host);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    TheGirder().frame.reset();
    SetHost(nullptr);
    return 0;
}
