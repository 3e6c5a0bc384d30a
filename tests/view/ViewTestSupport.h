// A result view on a recording window and frame, for the view tests.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "view/MorvexView.h"
#include "view/RecordingSurface.h"
#include "view/ViewFrame.h"

// Keeps every request of the view; the dialogs answer with what the test prepared.
class CRecordingWindow : public CViewWindow {
public:
    void Redraw() override { ++redraws; }
    void SetCursor(ViewCursor c) override { cursor = c; }
    void CaptureMouse(bool c) override { captured = c; }
    void InvertRectangle(CLPoint a, CLPoint b) override { inverted.push_back({a, b}); }
    bool ChooseColour(CColour initial, CColour& chosen) override {
        colourOffered = initial;
        if (!colourAnswer) return false;
        chosen = *colourAnswer;
        return true;
    }
    bool EditElementGroup(int, CElementGroup& fields) override {
        groupOffered = fields;
        if (!groupAnswer) return false;
        fields = *groupAnswer;
        return true;
    }

    bool ChooseLiveLoadType(int& type, DesignLoadOptions& design) override {
        typeOffered = type;
        designOffered = design;
        if (!typeAnswer) return false;
        type = *typeAnswer;
        if (designAnswer) design = *designAnswer;
        return true;
    }

    bool ChooseResponseComponent(int& node, int& direction) override {
        if (!componentAnswer) return false;
        node = componentAnswer->first;
        direction = componentAnswer->second;
        return true;
    }

    int redraws = 0;
    ViewCursor cursor = ViewCursor::Normal;
    bool captured = false;
    std::vector<std::pair<CLPoint, CLPoint>> inverted;
    std::optional<CColour> colourAnswer;
    CColour colourOffered;
    std::optional<CElementGroup> groupAnswer;
    CElementGroup groupOffered;
    std::optional<int> typeAnswer;
    int typeOffered = -2;
    std::optional<DesignLoadOptions> designAnswer;
    DesignLoadOptions designOffered;
    std::optional<std::pair<int, int>> componentAnswer;
};

// The logical size of a pixel on a 96-dpi screen.
constexpr double kPixel = 254.0 / 96.0;

class ViewTest : public ScratchDirTest {
protected:
    // Analyses the model and opens a view of 800 x 600 pixels on it.
    CMorvexView& Open(const std::string& model) {
        engine = Load(model, true);
        EXPECT_TRUE(engine) << LastMessage();
        view = std::make_unique<CMorvexView>(frame, window);
        view->InitialUpdate(engine.get());
        view->SetClientSize(800, 600, kPixel);
        return *view;
    }
    // Draws as the window does and returns what was drawn.
    CRecordingSurface Draw() {
        CRecordingSurface s;
        view->Draw(s);
        return s;
    }

    CPlainViewFrame frame;
    CRecordingWindow window;
    std::unique_ptr<CPlaneFrame> engine;
    std::unique_ptr<CMorvexView> view;
};

// Models shared by the view tests.
namespace models {

// Simply supported beam of span 10 in four elements under a uniform load of q (local y).
inline std::string SimpleBeam(double q) {
    return "5 4 0 1 1 1 2 0\n"
           "1 0 0 0 0\n5 10 0 0 1\n"
           "1 2e11\n1 0.02 2e-4 0 0 0.15 0.25\n"
           "1 1 2 1 1 1 0\n4 4 5 1 1 1 1\n"
           "1 110\n5 10\n"
           "0\n4\n1 1 3 100 0 " +
           std::to_string(q) + "\n2 1 3 100 0 " + std::to_string(q) + "\n3 1 3 100 0 " +
           std::to_string(q) + "\n4 1 3 100 0 " + std::to_string(q) + "\n";
}

}  // namespace models
