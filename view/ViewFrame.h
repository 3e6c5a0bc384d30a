// What the result view asks of the main frame and of the window that hosts it.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "liveload/DesignLoads.h"
#include "view/DrawSurface.h"

class CPlaneFrame;

// The shared parts of the main frame that the active result view drives: status panes,
// the two toolbar selectors and the current magnification.
class CViewFrame {
public:
    virtual ~CViewFrame() = default;
    // Writes text into status pane 0 (prompt; the value under the mouse), 1 (graph caption),
    // 2 (mouse x) or 3 (mouse y).
    virtual void SetStatusPane(int pane, const std::string& text) = 0;
    // Puts the graph selector on an index (the graph kind).
    virtual void SetGraphSelector(int index) = 0;
    // Puts the live-load selector on an index.
    virtual void SetLiveLoadSelector(int index) = 0;
    // The magnification factor shown for the active view's graph.
    virtual double CurrentScale() const = 0;
    virtual void SetCurrentScale(double factor) = 0;
    // Opens a text file that a command produced (a listing) in the text editor.
    virtual void OpenTextFile(const std::string& path) = 0;
};

// A frame that keeps what it is told; the batch tool's and the tests' frame.
class CPlainViewFrame : public CViewFrame {
public:
    void SetStatusPane(int pane, const std::string& text) override {
        if (pane >= 0 && pane < 4) panes[pane] = text;
    }
    void SetGraphSelector(int index) override { graphSelector = index; }
    void SetLiveLoadSelector(int index) override { liveLoadSelector = index; }
    double CurrentScale() const override { return currentScale; }
    void SetCurrentScale(double factor) override { currentScale = factor; }
    void OpenTextFile(const std::string& path) override { openedFiles.push_back(path); }

    std::string panes[4];
    std::vector<std::string> openedFiles;
    int graphSelector = -1;
    int liveLoadSelector = -1;
    double currentScale = 1.0;
};

// The element group of the force and stress diagrams: first element (0-based), end
// (exclusive bound) and increment.
struct CElementGroup {
    int first = 0, last = 0, step = 1;
};

// The mouse cursors of the view.
enum class ViewCursor { Normal, Pan, Zoom };

// The window that shows the view: redraws, cursor, mouse capture, the rubber rectangle and
// the view's dialogs.
class CViewWindow {
public:
    virtual ~CViewWindow() = default;
    // Asks for the whole picture to be drawn again.
    virtual void Redraw() = 0;
    virtual void SetCursor(ViewCursor cursor) = 0;
    virtual void CaptureMouse(bool capture) = 0;
    // Draws the rectangle between two device points with the inverting pen (drawing it
    // again erases it).
    virtual void InvertRectangle(CLPoint a, CLPoint b) = 0;
    // Colour chooser opening on initial; false when cancelled.
    virtual bool ChooseColour(CColour initial, CColour& chosen) = 0;
    // The element-group dialog: opens on the group given (1-based first element) and
    // returns true with the fields on OK. The dialog itself refuses an increment of 0 or less.
    virtual bool EditElementGroup(int nElements, CElementGroup& fields) = 0;
    // The live-load type dialog: opens on type (-1 ... 13) and the design-load options
    // (span, impact, lanes, distribution of types 11 to 13) and returns true with the
    // chosen type (-1 when none is selected) and options on OK.
    virtual bool ChooseLiveLoadType(int& type, DesignLoadOptions& design) = 0;
    // Runs a long computation with a progress window whose cancel button clears
    // keepRunning (the engine's stop flag, set to 1 first); the percentages come from the
    // status texts "...(NN%)". This plain version just runs it.
    virtual bool RunWithProgress(const std::string& title, std::atomic<std::uint8_t>& keepRunning,
                                 const std::function<bool()>& work) {
        (void)title;
        keepRunning = 1;
        return work();
    }
    // The extraction dialog: node number (1-based, not checked) and component (0 x, 1 y,
    // 2 rotation); false when cancelled.
    virtual bool ChooseResponseComponent(int& node, int& direction) = 0;
    // Shows what the drawing reads at a device point beside the mouse (empty: hide it).
    virtual void ShowProbe(CLPoint /*device*/, const std::string& /*text*/) {}
};

// A window that draws nothing and cancels every dialog (the batch tool's).
class CNullViewWindow : public CViewWindow {
public:
    void Redraw() override {}
    void SetCursor(ViewCursor) override {}
    void CaptureMouse(bool) override {}
    void InvertRectangle(CLPoint, CLPoint) override {}
    bool ChooseColour(CColour, CColour&) override { return false; }
    bool EditElementGroup(int, CElementGroup&) override { return false; }
    bool ChooseLiveLoadType(int&, DesignLoadOptions&) override { return false; }
    bool ChooseResponseComponent(int&, int&) override { return false; }
};

// What the result view asks of its document: the natural-vibration analysis, whose results
// every view of the document shares.
class CViewDocument {
public:
    virtual ~CViewDocument() = default;
    // True once a natural-vibration analysis of the document has succeeded.
    virtual bool ModesReady() const = 0;
    // Starts the natural-vibration analysis; false when it cannot start now.
    virtual bool StartNaturalVibration() = 0;
    // Starts the dynamic response under the load file; false when it cannot start now.
    virtual bool StartDynamicResponse(const std::string& loadPath) = 0;
    // Asks the running analysis to stop (through the engine's stop flag).
    virtual void CancelRun() = 0;
};

// A document that runs the natural-vibration analysis at once on the calling thread (the
// batch tool's and the tests').
class CPlainViewDocument : public CViewDocument {
public:
    explicit CPlainViewDocument(CPlaneFrame* engine) : m_engine(engine) {}
    bool ModesReady() const override { return m_modesReady; }
    bool StartNaturalVibration() override;
    bool StartDynamicResponse(const std::string& loadPath) override;
    void CancelRun() override {}

    CPlaneFrame* m_engine;
    bool m_modesReady = false;
};
