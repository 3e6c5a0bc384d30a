#include "app/MainFrame.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMimeData>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTimer>
#include <QUrl>

#include "app/ChildFrame.h"
#include "app/Commands.h"
#include "app/Document.h"
#include "app/FindReplaceDialog.h"
#include "app/Icons.h"
#include "app/MorvexApp.h"
#include "app/MorvexDoc.h"
#include "app/MyeditView.h"
#include "liveload/LiveLoadPlacement.h"
#include "platform/Format.h"
#include "view/qt/MorvexViewWidget.h"

namespace {

const char* const kIdlePrompt = "就绪";

}  // namespace

CMainFrame::CMainFrame(CMorvexApp& app) : m_app(app) {
    setWindowTitle(QStringLiteral("Morvex"));
    setWindowIcon(ProgramIcon());
    m_mdi = new QMdiArea(this);
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);
    setAcceptDrops(true);

    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    SetCurrentScale(1.0);

    // Deferred, so that a window being closed is already out of the list.
    connect(m_mdi, &QMdiArea::subWindowActivated, this,
            [this](QMdiSubWindow*) { QTimer::singleShot(0, this, &CMainFrame::UpdateFrameState); });
    UpdateFrameState();
}

CMainFrame::~CMainFrame() {
    *m_alive = false;
    // The windows go first, while the panes and selectors their views write into still exist.
    delete m_mdi;
    m_mdi = nullptr;
}

std::function<void()> CMainFrame::CommandObserver() {
    return [this, alive = m_alive] {
        if (*alive) UpdateCommands();
    };
}

std::function<void(const QString&)> CMainFrame::StatusSink() {
    return [this, alive = m_alive](const QString& text) {
        if (*alive) SetPaneText(0, text);
    };
}

CChildFrame* CMainFrame::ActiveChild() const {
    return qobject_cast<CChildFrame*>(m_mdi->currentSubWindow());
}

QList<CChildFrame*> CMainFrame::Children() const {
    QList<CChildFrame*> children;
    for (QMdiSubWindow* w : m_mdi->subWindowList())
        if (auto* child = qobject_cast<CChildFrame*>(w)) children.append(child);
    return children;
}

CChildFrame* CMainFrame::AddChild(CDocument* doc, QWidget* view) {
    auto* child = new CChildFrame(doc, view);
    m_mdi->addSubWindow(child);
    // Before the frame is first shown (a file named on the command line) the area has no
    // size yet; the screen stands in for the maximised frame.
    const QSize area = m_mdi->isVisible() ? m_mdi->viewport()->size()
                                          : QGuiApplication::primaryScreen()->availableSize();
    child->resize(area * 0.75);
    if (auto* editor = qobject_cast<CMyeditView*>(view)) {
        // The edit commands follow the selection, the undo stack and the clipboard.
        connect(editor, &QPlainTextEdit::selectionChanged, this, &CMainFrame::UpdateCommands);
        connect(editor, &QPlainTextEdit::undoAvailable, this, &CMainFrame::UpdateCommands);
    }
    connect(doc, &CDocument::TitleChanged, this, &CMainFrame::UpdateFrameState);
    child->show();
    m_mdi->setActiveSubWindow(child);
    UpdateFrameState();
    return child;
}

QAction* CMainFrame::Action(int id) const {
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

QString CMainFrame::PaneText(int pane) const {
    return pane >= 0 && pane < 4 ? m_panes[pane]->text() : QString();
}

void CMainFrame::SetPaneText(int pane, const QString& text) {
    if (pane < 0 || pane >= 4) return;
    m_panes[pane]->setText(text);
    // Progress texts come from long synchronous runs: show them now, not after the run.
    m_panes[pane]->repaint();
}

void CMainFrame::SetStatusPane(int pane, const std::string& text) {
    if (pane < 0 || pane > 3) return;
    // The caption is set while the view paints: no immediate repaint from inside a paint.
    m_panes[pane]->setText(QString::fromStdString(text));
}

void CMainFrame::SetGraphSelector(int index) {
    if (index < 0 || index >= m_graphSelector->count()) return;
    // A programmatic change is not the user's choice: it must not run the graph command.
    const QSignalBlocker block(m_graphSelector);
    m_graphSelector->setCurrentIndex(index);
}

void CMainFrame::SetLiveLoadSelector(int index) {
    if (index < 0 || index >= m_liveLoadSelector->count()) return;
    const QSignalBlocker block(m_liveLoadSelector);
    m_liveLoadSelector->setCurrentIndex(index);
}

CMorvexViewWidget* CMainFrame::ActiveResultView() const {
    CChildFrame* child = m_mdi ? ActiveChild() : nullptr;
    return child ? dynamic_cast<CMorvexViewWidget*>(child->View()) : nullptr;
}

void CMainFrame::RunViewCommand(int id) {
    if (CMorvexViewWidget* view = ActiveResultView()) view->RunCommand(id);
    // The command may have changed what is enabled, checked or named.
    UpdateCommands();
}

void CMainFrame::OnGraphSelector(int index) {
    if (CMorvexViewWidget* view = ActiveResultView()) view->View().OnGraphSelector(index);
    UpdateCommands();
}

void CMainFrame::OnLiveLoadSelector(int index) {
    if (CMorvexViewWidget* view = ActiveResultView()) view->View().OnLiveLoadChoice(index);
    UpdateCommands();
}

void CMainFrame::OpenTextFile(const std::string& path) {
    m_app.OpenAsText(QString::fromStdString(path));
}

void CMainFrame::SetCurrentScale(double scale) {
    m_currentScale = scale;
    const QString prompt = QString::fromStdString(FormatString("当前比例: %e", m_currentScale));
    for (int id : {ID_MAGNIFY, ID_REDUCE})
        if (QAction* a = Action(id)) a->setStatusTip(prompt);
    // The diagram's magnification, always in view beside the caption.
    if (m_scalePane)
        m_scalePane->setText(QString::fromStdString(FormatString("比例: %.3e", m_currentScale)));
}

void CMainFrame::CreateStatusBar() {
    const int widths[4] = {0, 130, 80, 80};
    for (int i = 0; i < 4; ++i) {
        m_panes[i] = new QLabel(this);
        m_panes[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (i == 0) {
            statusBar()->addWidget(m_panes[i], 1);
        } else {
            m_panes[i]->setFixedWidth(widths[i]);
            statusBar()->addPermanentWidget(m_panes[i]);
        }
    }
    m_panes[0]->setText(QString::fromUtf8(kIdlePrompt));
    // The caption grows with its text (mode captions carry Hz and the period).
    m_panes[1]->setMinimumWidth(widths[1]);
    m_panes[1]->setMaximumWidth(QWIDGETSIZE_MAX);
    m_scalePane = new QLabel(this);
    m_scalePane->setObjectName(QStringLiteral("scalePane"));
    m_scalePane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_scalePane->setMinimumWidth(110);
    statusBar()->insertPermanentWidget(1, m_scalePane);
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        m_panes[0]->setText(tip.isEmpty() ? QString::fromUtf8(kIdlePrompt) : tip);
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // Every changed text is asked about first; a cancel keeps the program and every window.
    QList<CDocument*> docs;
    for (CChildFrame* child : Children())
        if (!docs.contains(child->Document())) docs.append(child->Document());
    for (CDocument* doc : docs) {
        if (!doc->SaveModified()) {
            event->ignore();
            return;
        }
    }
    for (CChildFrame* child : Children()) child->CloseWithoutAsking();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths.append(url.toLocalFile());
    if (paths.isEmpty()) return;
    event->acceptProposedAction();
    activateWindow();
    for (const QString& path : paths) m_app.OpenDocumentFile(path);
}

CMyeditView* CMainFrame::ActiveEditor() const {
    CChildFrame* child = ActiveChild();
    return child ? qobject_cast<CMyeditView*>(child->View()) : nullptr;
}

CMorvexDoc* CMainFrame::ActiveResultDoc() const {
    CChildFrame* child = ActiveChild();
    return child ? qobject_cast<CMorvexDoc*>(child->Document()) : nullptr;
}

void CMainFrame::UpdateFrameState() {
    CChildFrame* child = ActiveChild();
    int menu = kMenuNoDocument;
    if (child) menu = child->Document()->DocKind() == CDocument::kResult ? kMenuResult : kMenuText;
    SwitchMenu(menu);
    // The shared selectors and the current scale show the view that became active.
    if (CMorvexViewWidget* view = ActiveResultView()) view->View().OnSetFocus();
    // The caption names the active document.
    setWindowTitle(child ? QStringLiteral("Morvex - %1").arg(child->Document()->Title())
                         : QStringLiteral("Morvex"));
    UpdateCommands();
}

void CMainFrame::OnNewWindow() {
    CMorvexDoc* doc = ActiveResultDoc();
    if (doc) m_app.CreateResultWindow(doc);
}

void CMainFrame::Tile(bool horizontal) {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* w : m_mdi->subWindowList())
        if (w->isVisible() && !w->isMinimized()) windows.append(w);
    if (windows.isEmpty()) return;
    const QRect area = m_mdi->viewport()->rect();
    const int n = static_cast<int>(windows.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow* w = windows[i];
        if (w->isMaximized()) w->showNormal();
        // Horizontal tiling stacks full-width windows one above the other.
        if (horizontal)
            w->setGeometry(0, area.height() * i / n, area.width(),
                           area.height() * (i + 1) / n - area.height() * i / n);
        else
            w->setGeometry(area.width() * i / n, 0,
                           area.width() * (i + 1) / n - area.width() * i / n, area.height());
    }
}

void CMainFrame::Cascade() {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* w : m_mdi->subWindowList())
        if (w->isVisible() && !w->isMinimized()) windows.append(w);
    if (windows.isEmpty()) return;
    // Each window steps down by a title bar; all keep the same size, three quarters of the
    // area or what the steps leave, so a single window never shrinks to its title bar.
    const QRect area = m_mdi->viewport()->rect();
    const int step = std::max(20, windows.first()->style()->pixelMetric(QStyle::PM_TitleBarHeight));
    const int n = static_cast<int>(windows.size());
    const int w = std::max(area.width() * 3 / 4, 200);
    const int h = std::max(std::min(area.height() * 3 / 4, area.height() - step * (n - 1)), 150);
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow* child = windows[i];
        if (child->isMaximized()) child->showNormal();
        child->setGeometry(std::max(0, std::min(step * i, area.width() - w)),
                           std::max(0, std::min(step * i, area.height() - h)), w, h);
        child->raise();
    }
    m_mdi->setActiveSubWindow(windows.last());
}

void CMainFrame::ArrangeIcons() {
    const QRect area = m_mdi->viewport()->rect();
    int x = 0;
    for (QMdiSubWindow* w : m_mdi->subWindowList()) {
        if (!w->isMinimized()) continue;
        w->move(x, area.height() - w->height());
        x += w->width();
    }
}

void CMainFrame::ShowFindDialog(bool replace) {
    CMyeditView* editor = ActiveEditor();
    if (!editor) return;
    CFindReplaceDialog*& dialog = replace ? m_replaceDialog : m_findDialog;
    if (!dialog)
        dialog = new CFindReplaceDialog(
            replace, [this] { return ActiveEditor(); }, this);
    // Only one of the two is shown at a time, as in other editors.
    CFindReplaceDialog* other = replace ? m_findDialog : m_replaceDialog;
    if (other) other->hide();
    dialog->Prepare(editor);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

QStringList GraphSelectorItems() {
    QStringList items;
    for (int kind = 0; kind < graph::kCount; ++kind)
        items << QString::fromUtf8(CMorvexView::GraphName(kind));
    return items;
}

QStringList LiveLoadSelectorItems() {
    // The core's list, so that the selector and the placement always agree.
    QStringList items;
    for (int e = 0; e < kLiveLoadEntries; ++e)
        items << QString::fromUtf8(LiveLoadListEntry(e).text);
    return items;
}
