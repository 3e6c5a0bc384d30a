// The Qt widget that shows a result view: painting, mouse, cursors, context menu, focus,
// dialogs and printing.
#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

#include "view/MorvexView.h"

class QMenu;
class QPrinter;
class QProgressDialog;

// Sets up the progress window of a long computation: its title, "取消", modal for the whole
// program (nothing else may start meanwhile), shown at once, closed by its owner.
void SetUpProgressDialog(QProgressDialog& dialog, const QString& title);

// Hosts one CMorvexView and is its window.
class CMorvexViewWidget : public QWidget, public CViewWindow {
public:
    explicit CMorvexViewWidget(CViewFrame& frame, QWidget* parent = nullptr);

    CMorvexView& View() { return m_view; }
    // True while some view paints: a message raised by a drawing (a missing envelope file)
    // must then be shown after the paint, not inside it.
    static bool Painting() { return s_painting > 0; }
    // Runs a command of the view or one of the printing commands.
    void RunCommand(int id);
    // The context menu for the present mouse mode; its actions run their commands.
    QMenu* CreateContextMenu(QWidget* parent);
    // Prints one page: the whole current picture fitted to the page with its title block,
    // or with selection the screen's present window at the screen's mapping. False (after
    // a message) when the printer cannot start.
    bool PrintPage(QPrinter& printer, bool selection = false);
    // Where print, direct print and preview get their printer (one of their own when not
    // set); asked at every print, so that a printer replaced after a failure is used.
    void SetPrinterSource(std::function<QPrinter*()> source) {
        m_printerSource = std::move(source);
    }
    // The data file the view shows, named in the printed page's title block.
    void SetDataFile(const QString& path) { m_dataFile = path; }
    // Called after each command and when the view gets the focus, so that the host can
    // bring its menus and toolbar up to date.
    void SetCommandObserver(std::function<void()> observer) { m_observer = std::move(observer); }

    // CViewWindow
    void Redraw() override;
    void SetCursor(ViewCursor cursor) override;
    void CaptureMouse(bool capture) override;
    void InvertRectangle(CLPoint a, CLPoint b) override;
    bool ChooseColour(CColour initial, CColour& chosen) override;
    bool EditElementGroup(int nElements, CElementGroup& fields) override;
    bool ChooseLiveLoadType(int& type, DesignLoadOptions& design) override;
    bool RunWithProgress(const std::string& title, std::atomic<std::uint8_t>& keepRunning,
                         const std::function<bool()>& work) override;
    bool ChooseResponseComponent(int& node, int& direction) override;
    void ShowProbe(CLPoint device, const std::string& text) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    double LogicalPerPixel() const;
    // Starts or stops the animation clock as the view's play state says.
    void FollowAnimation();
    void OnAnimationTick();

    void Notify();
    static int s_painting;

    CMorvexView m_view;
    std::function<QPrinter*()> m_printerSource;
    QString m_dataFile;
    QTimer m_animationClock;
    std::function<void()> m_observer;
    // Rubber rectangles now shown; inverting the same one again takes it away.
    std::vector<std::pair<CLPoint, CLPoint>> m_rubber;
};
