// The result view: what is shown of a result document, its world-to-window mapping, the
// mouse modes, the drawing of the structure and the results, and the view commands.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "liveload/LaneLoad.h"
#include "liveload/LiveLoad.h"
#include "view/DrawSurface.h"
#include "view/ViewFrame.h"

class CDynamicLoad;
class CPlaneFrame;
struct EnvelopeData;

// Magnification of one graph kind: the factor of its last drawing (world units per unit of
// the value shown) and the user's magnification relative to the automatic factor.
struct CGraphScale {
    double factor = 1.0;
    double relative = 1.0;
};

// The largest ordinate of an automatically scaled diagram, as a share of the drawing's height.
constexpr double kOrdinateShare = 0.1;

// A world point kept relative to the world centre.
struct CWorldOffset {
    double x = 0, y = 0;
};

// Enabled, check mark and menu text of a command at this moment.
struct CCommandState {
    bool enabled = false;
    bool checked = false;
    std::string text;  // empty: the command's fixed text
};

// One entry of a context menu; id 0 is a separator.
struct CMenuEntry {
    int id = 0;
    std::string text;
};

// Phases of one period of an animated mode shape.
constexpr int kModePhases = 24;

// Graph kinds (the graph selector's indices).
namespace graph {
constexpr int kStructure = 0, kDisplaced = 1, kMoment = 2, kShear = 3, kAxial = 4,
              kMomentEnvelope = 5, kShearEnvelope = 6, kAxialEnvelope = 7, kInfluence = 8,
              kMode = 9, kUpperStress = 10, kLowerStress = 11, kDynamic = 12, kCombination = 13,
              kCount = 14;
}

// The graphics view of one result document. Plain C++: it draws on a CDrawSurface, takes
// device points from its window and talks to the main window and its own window through
// their interfaces.
class CMorvexView {
public:
    CMorvexView(CViewFrame& frame, CViewWindow& window);

    // --- state and mapping (MorvexView.cpp) ---

    // Takes the engine after the document has been read and analysed; copies the counts and
    // the bounding box and resets the graph and the selectors.
    void InitialUpdate(CPlaneFrame* engine);
    // The document whose natural-vibration analysis the view starts and shows; without one
    // the analysis is not offered.
    void SetDocument(CViewDocument* document) { m_document = document; }
    // The client area in device pixels and the size of one pixel in logical units.
    void SetClientSize(int widthPx, int heightPx, double logicalPerPixel);
    // Fits the world window into the client area with a 0.8 margin.
    void Fit();
    // Screen drawing: fits unless the mapping is held, then draws the current graph.
    void Draw(CDrawSurface& surface);
    // Printer drawing: the current graph at the screen's present mapping.
    void Print(CDrawSurface& surface);
    // Draws the whole current picture (the whole structure, every ordinate) fitted into a
    // drawing area of widthPx x heightPx device pixels, keeping the aspect ratio, as the
    // printed page shows it. The screen's mapping is left as it was.
    void DrawFitted(CDrawSurface& surface, int widthPx, int heightPx, double logicalPerPixel);
    // The name of a graph kind as the graph selector lists it.
    static const char* GraphName(int kind);
    // What the present picture shows: the graph and its case, line, type, mode or step.
    std::string PictureTitle() const;
    // The scales of the last drawing: the structure's on paper and the diagram's ordinates.
    std::string ScaleText() const;
    CLPoint WorldToLogical(double x, double y) const;
    void LogicalToWorld(double X, double Y, double& x, double& y) const;
    CLPoint DeviceToLogical(CLPoint device) const;

    // --- mouse (MouseModes.cpp) ---

    // Mouse move at a device point; leftOnly is true while the left button alone is down.
    void OnMouseMove(CLPoint device, bool leftOnly);
    void OnLeftButtonDown(CLPoint device);

    // --- commands (ViewCommands.cpp) ---

    // Runs a command of the view; false if the view does not handle it or it is disabled.
    bool Execute(int id);
    // Enabled, checked and text of a command now.
    CCommandState CommandState(int id) const;
    // A new selection in the graph selector.
    void OnGraphSelector(int index);
    // The view got the keyboard focus: the shared selectors follow it.
    void OnSetFocus();
    // A new selection in the live-load selector (entry 0 ... 34): places that live load at
    // its worst position on the influence line shown and writes B_活载.fem. Ignored unless
    // the view shows an influence line.
    void OnLiveLoadChoice(int entry);
    // The context menu for the present mouse mode, with the present texts.
    std::vector<CMenuEntry> ContextMenu() const;
    // The graph command that selects a graph kind (0 for the structure).
    static int GraphCommand(int kind);
    // Applies the fields of the element-group dialog (first 1-based); false if refused.
    bool ApplyElementGroup(const CElementGroup& fields);
    // The dialog's verdict on its fields: an empty text accepts them, otherwise the message
    // to show while the dialog stays open.
    static std::string CheckElementGroupFields(const CElementGroup& fields);

    // --- reading values off the drawing (Probe.cpp) ---

    // What the present graph shows at the structure near a device point: element, position
    // and value (forces, displacements, ordinates, envelope limits); empty when the point is
    // not near any element or the graph has no values.
    std::string ProbeText(CLPoint device) const;

    // --- moving pictures (DynamicsCommands.cpp) ---

    // One frame of the animation of the mode or response graph: the next phase of the mode
    // shape, or m_animationSpeed records further (after the last back to the first). False
    // when the graph shown does not move.
    bool AnimationStep();
    // The frame the step slider shows: the record of the response graph or the phase of the
    // mode shape; and its upper limit (-1 when the graph does not move).
    int AnimationFrame() const;
    int AnimationFrameLimit() const;
    void SetAnimationFrame(int frame);
    bool m_animating = false;
    int m_animationSpeed = 1;
    int m_modePhase = 0;  // the mode shape is drawn times the cosine of this phase

    // --- drawing (StructureDrawing.cpp, ResultDiagrams.cpp) ---

    // The current graph over the structure, with the caption in status pane 1.
    void DrawGraph(CDrawSurface& surface);
    void DrawStructure(CDrawSurface& surface);
    // The caption of the last drawing.
    const std::string& Caption() const { return m_caption; }

    // State (names as the rest of the program uses them).
    CPlaneFrame* m_pFrame = nullptr;
    int m_graphKind = 0;
    int m_liveLoadItem = 0;
    int m_caseIndex = 0;
    int m_timeIndex = 0;
    int m_modeIndex = 0;
    int m_lineIndex = 0;
    int m_nCases = 0, m_nModes = 0, m_nIlLines = 0, m_nTimeSteps = 0, m_nDof = 0, m_nIlElements = 0,
        m_nElements = 0;
    CGraphScale m_graphScale[graph::kCount];
    CColour m_displacementColour = Rgb(255, 0, 255);
    int m_groupFirst = 0, m_groupLast = 0, m_groupStep = 1;
    bool m_showConstraints = true, m_showNodeNumbers = true, m_showElementNumbers = true;
    bool m_showSections = false;
    bool m_envelopeEnabled = true;
    // The dynamic-response graph shows the bending moment of its step, not the shape.
    bool m_dynamicMoment = false;
    double m_worldXMin = 0, m_worldYMin = 0, m_worldXMax = 1, m_worldYMax = 1;
    double m_scale = 1.0;
    double m_screenCx = 0, m_screenCy = 0;
    double m_worldCx = 0, m_worldCy = 0;
    bool m_userWindow = false;
    bool m_panMode = false, m_windowZoomMode = false, m_zoomMode = false;
    int m_dragState = 0;
    bool m_probeShown = false;
    CLPoint m_dragAnchor, m_lastMouse;
    int m_segments = 20;
    // Live-load state of the influence-line and envelope graphs.
    int m_liveLoadClass = -1;
    std::vector<double> m_liveLoadPlacements;
    bool m_placeSign = true, m_placeRightward = true;
    int m_envelopeType = 1;
    // The options of a design-load type (11 to 13) chosen with it in the type dialog.
    DesignLoadOptions m_designLoad;
    // The combinations the combination graph steps through (names), and its picture: index
    // 3 k + 0, 1, 2 shows the moment, shear and axial force of combination k.
    std::vector<std::string> m_combinations;
    int m_combinationIndex = 0;
    // The combination and quantity (1 N, 2 Q, 3 M) of that picture; false when there is none.
    bool CombinationPicture(std::string& name, int& quantity) const;
    CLiveLoad m_placeLoad;
    int m_placeCount = 0;
    // A placed lane load: its loaded regions, where Pk stands, and the total it causes.
    std::vector<LaneRegion> m_laneRegions;
    LaneOrdinate m_lanePoint;
    double m_laneTotal = 0;

    // Extreme tracker of the present drawing (magnified values, points relative to the
    // world centre).
    bool m_extremeSeen = false;
    double m_maxValue = 0, m_minValue = 0;
    CWorldOffset m_maxBase, m_maxTip, m_minBase, m_minTip;

    // Client area.
    int m_clientWidthPx = 0, m_clientHeightPx = 0;
    double m_logicalPerPixel = 254.0 / 96.0;

    // Displacement source of the curve drawing, chosen by graph kind before each drawing.
    const std::vector<double>* m_curveSource = nullptr;

    // Updates the extreme tracker with a value and its base and result points (overall and
    // for the span of m_trackSpan).
    void TrackExtreme(double value, CWorldOffset base, CWorldOffset tip);
    // Extremes of one span (the stretch between two supports along x).
    struct CSpanExtreme {
        bool seen = false;
        double maxValue = 0, minValue = 0;
        CWorldOffset maxBase, maxTip, minBase, minTip;
    };
    std::vector<CSpanExtreme> m_spanExtremes;
    int m_trackSpan = 0;
    // The span of an element: how many supported x positions lie left of its middle.
    int SpanOf(int element) const;
    // The supported x positions, ascending and each once, taken from the model at the
    // initial update (every curve asks SpanOf for each of its elements).
    std::vector<double> m_supportXs;
    // Labels in kN, kN·m and mm instead of N, N·m and m.
    bool m_engineeringUnits = false;
    // The transform of a point relative to the world centre.
    CLPoint OffsetToLogical(CWorldOffset p) const;

private:
    void PrepareSurface();
    // Draws the curve of one straight piece from base point a (relative to the world
    // centre) along (c, s) over length len, with six global end displacements, n segments.
    void DrawCurvePiece(CDrawSurface& s, CWorldOffset a, double c, double sn, double len,
                        const double d[6], int n, bool verticalOnly);
    bool DrawElementCurve(CDrawSurface& s, int element, int state, bool verticalOnly);
    void DrawInfluenceLine(CDrawSurface& s);
    bool DrawForceDiagram(CDrawSurface& s);
    bool DrawEdgeStress(CDrawSurface& s);
    void DrawExtremeLabels(CDrawSurface& s);
    // The one automatic scale rule of every diagram: the factor that makes the largest
    // ordinate kOrdinateShare of the drawing's height, times the user's relative
    // magnification. Stores it as the kind's factor, shows it in the frame and returns it.
    double DiagramFactor(double largest);
    // The largest translation of one state (a case, a line, a mode) of a displacement source.
    double LargestTranslation(const std::vector<double>& source, int state) const;
    // The same of a state vector of the model's equations.
    double LargestTranslationOf(const double* state) const;
    // What a diagram of the response graph scales by: the largest value over every record of
    // the response file, ofRecord giving it for one record's displacements; cached by the
    // file's size, so that stepping keeps one scale for the whole run.
    struct CRunLargest {
        long long bytes = -1;
        double largest = 0;
    };
    double LargestOverResponse(CRunLargest& cache,
                               const std::function<double(const double*)>& ofRecord);
    // The largest translation over every record of the response file.
    double LargestResponse();
    // The world-to-logical scale that fits the whole structure into the client area.
    double FittedScale() const;
    // Graphs of the live-load and dynamics subsystems; they draw nothing until those land.
    bool DrawEnvelope(CDrawSurface& s, int quantity);
    bool DrawCombination(CDrawSurface& s);
    // The maximum and minimum lines of an envelope, its extremes and its label in the corner.
    void DrawEnvelopeLines(CDrawSurface& s, const EnvelopeData& data, int quantity,
                           const std::string& label);
    double DrawDynamicResponse(CDrawSurface& s);
    // The bending moment of the displacements in f.m_dynRecord, scaled for the whole run.
    void DrawDynamicMoment(CDrawSurface& s);
    // The largest end moment over every record of the response file (cached by its size).
    double LargestResponseMoment();
    void DrawPlacedVehicles(CDrawSurface& s);
    // A placed lane load: qk over its regions, Pk at its ordinate, and the total.
    void DrawPlacedLaneLoad(CDrawSurface& s);
    // Marks the overall extremes of an envelope drawn with this factor for the labels.
    void SetEnvelopeExtremes(const EnvelopeData& data, int quantity, double factor);
    // The base point on element e at distance d from node i and the tip of ordinate f.
    void EnvelopePoints(int e, double d, double f, int quantity, CWorldOffset& base,
                        CWorldOffset& tip) const;
    // The commands of the live-load subsystem (LiveLoadCommands.cpp); false when id is
    // not one of them.
    bool ExecuteLiveLoadCommand(int id);
    // The dynamics commands (DynamicsCommands.cpp): their state, false when id is not one
    // of them, and their execution.
    bool DynamicsCommandState(int id, CCommandState& st) const;
    bool ExecuteDynamicsCommand(int id);
    bool ModesReady() const;
    bool VibrationRunning() const;
    bool ResponseExists() const;
    // The graph command's rule: sets the kind, the selector, the current scale, redraws.
    void SelectGraph(int kind);
    // The index that previous/next step for the current kind, and its upper limit.
    int CMorvexView::*CurrentIndexMember() const;
    int CurrentIndexLimit() const;

    // The main window's status panes, selectors and scale (the model is m_pFrame).
    CViewFrame& m_mainWindow;
    CViewWindow& m_window;
    CViewDocument* m_document = nullptr;
    std::string m_caption;
    double m_drawnScale = 1.0;  // the mapping's scale at the last drawing
    CRunLargest m_responseLargest;
    CRunLargest m_responseMomentLargest;
};

// The text of an extreme label of a graph kind: the value as it is (SI), or in kN, kN·m, mm
// and MPa with engineering units.
std::string LabelText(int kind, double value, bool engineering);


// Draws the symbol of one excitation at time t (moving load, nodal force or prescribed
// motion) with the view's mapping.
void DrawSymbol(CDrawSurface& s, const CMorvexView& mapping, const CDynamicLoad& load, double t);
