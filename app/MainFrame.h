// The main window: MDI area, menus that follow the active document, toolbar, status bar.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>

#include "view/ViewFrame.h"

class CChildFrame;
class CDocument;
class CFindReplaceDialog;
class CMorvexDoc;
class CMorvexViewWidget;
class CMyeditView;
class QComboBox;
class QLabel;
class CMorvexApp;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QSlider;
class QToolBar;

// The program's MDI frame. There is one, created by the program, whose commands it runs.
// Result views drive its status panes, selectors and current scale through CViewFrame.
class CMainFrame : public QMainWindow, public CViewFrame {
    Q_OBJECT
public:
    // The three menu bars: no document, result document active, text document active.
    enum MenuResource { kMenuNoDocument = 128, kMenuResult = 129, kMenuText = 130 };

    explicit CMainFrame(CMorvexApp& app);
    ~CMainFrame() override;
    // Calls that views and the host keep to tell the frame of a changed command state or a
    // status text; they do nothing once the frame is going down (its windows go after it).
    std::function<void()> CommandObserver();
    std::function<void(const QString&)> StatusSink();

    QMdiArea* MdiArea() const { return m_mdi; }
    // The child window that has (or last had) the focus.
    CChildFrame* ActiveChild() const;
    QList<CChildFrame*> Children() const;
    // Puts a new child window with the view of doc into the MDI area and activates it.
    CChildFrame* AddChild(CDocument* doc, QWidget* view);

    // The action of a command id (menus and toolbar share it); nullptr when there is none.
    QAction* Action(int id) const;
    QComboBox* GraphSelector() const { return m_graphSelector; }
    QComboBox* LiveLoadSelector() const { return m_liveLoadSelector; }
    QToolBar* ToolBar() const { return m_toolBar; }
    // The menu bar in use (MenuResource).
    int CurrentMenu() const { return m_currentMenu; }

    // Text of status pane 0 (prompts, progress), 1 (graph caption), 2 and 3 (mouse x, y).
    QString PaneText(int pane) const;
    void SetPaneText(int pane, const QString& text);

    // Magnification of the graph in the active result view; magnify and reduce prompt with it
    // and the status bar shows it beside the caption.
    double m_currentScale = 1.0;
    void SetCurrentScale(double scale) override;

    // CViewFrame: what the active result view shows in the shared controls.
    void SetStatusPane(int pane, const std::string& text) override;
    void SetGraphSelector(int index) override;
    void SetLiveLoadSelector(int index) override;
    double CurrentScale() const override { return m_currentScale; }
    void OpenTextFile(const std::string& path) override;

    // The result view of the active child, or nullptr when a text document is active.
    CMorvexViewWidget* ActiveResultView() const;
    // Routes a command of the result document's menus, toolbar or selectors to the active
    // result view, then brings the commands' states up to date.
    void RunViewCommand(int id);
    // A new selection in the graph selector, as the user makes it.
    void OnGraphSelector(int index);
    // A new selection in the live-load selector, as the user makes it.
    void OnLiveLoadSelector(int index);

    // Writes an export of the active result document (ID_EXPORT_REPORT, ID_EXPORT_EXCEL or
    // ID_EXPORT_DXF) into path; false after the message. The menu commands ask for the path
    // first (ExportCommands.cpp).
    bool ExportActiveResult(int id, const QString& path);

    // Refills the recent-file entries of the file menus.
    void UpdateRecentFiles(const QStringList& files);
    // Enables, disables and checks the commands for the active child.
    void UpdateCommands();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The key named after the tab in `text` ("保存(&S)\tCtrl+S") is the action's shortcut;
    // `alternates` are further keys for the same command.
    QAction* AddAction(int id, const QString& text, std::function<void()> handler,
                       const QList<QKeySequence>& alternates = {});
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void FillWindowMenu(QMenu* menu, bool withNewWindow);
    void UpdateFrameState();
    void SwitchMenu(int resource);
    CMyeditView* ActiveEditor() const;
    CMorvexDoc* ActiveResultDoc() const;
    void OnNewWindow();
    void Tile(bool horizontal);
    void Cascade();
    void ArrangeIcons();
    void ShowFindDialog(bool replace);
    void OnExport(int id);

    QMdiArea* m_mdi;
    QToolBar* m_toolBar = nullptr;
    QComboBox* m_graphSelector = nullptr;
    QComboBox* m_liveLoadSelector = nullptr;
    QToolBar* m_animationBar = nullptr;
    QComboBox* m_speedSelector = nullptr;
    QSlider* m_stepSlider = nullptr;
    QLabel* m_panes[4] = {};
    QLabel* m_scalePane = nullptr;  // the current diagram scale
    std::map<int, QAction*> m_actions;
    QAction* m_aboutShort = nullptr;  // the text menu words the about item differently
    QAction* m_newWindow = nullptr;
    QMenu* m_recentMenu = nullptr;
    std::map<int, QList<QMenu*>> m_menus;
    int m_currentMenu = 0;
    CFindReplaceDialog* m_findDialog = nullptr;
    CFindReplaceDialog* m_replaceDialog = nullptr;
    CMorvexApp& m_app;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

// The graph kinds of the graph selector, by index.
QStringList GraphSelectorItems();
// The live loads of the live-load selector, by index.
QStringList LiveLoadSelectorItems();
