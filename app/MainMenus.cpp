// The main frame's commands: actions, the three menu bars, the toolbar and the update of
// enabled states.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QSlider>
#include <QStatusBar>
#include <QToolBar>

#include "app/ChildFrame.h"
#include "app/Commands.h"
#include "app/Document.h"
#include "app/FindReplaceDialog.h"
#include "app/Icons.h"
#include "app/MainFrame.h"
#include "app/MorvexApp.h"
#include "app/MorvexDoc.h"
#include "app/MyeditDoc.h"
#include "app/MyeditView.h"
#include "view/qt/MorvexViewWidget.h"

namespace {

// Commands of the result view: routed to the active view, which enables, checks and names
// them by its own rules.
const int kViewCommands[] = {ID_DISPLACEMENT_COLOUR,
                             ID_MAGNIFY,
                             ID_REDUCE,
                             ID_PREVIOUS,
                             ID_NEXT,
                             ID_PAN,
                             ID_ZOOM,
                             ID_WINDOW_ZOOM,
                             ID_INITIAL_WINDOW,
                             ID_LIVE_LOAD_TYPE,
                             ID_MOMENT_ENVELOPE,
                             ID_SHEAR_ENVELOPE,
                             ID_AXIAL_ENVELOPE,
                             ID_COMBINATION,
                             ID_INFLUENCE_OUTPUT,
                             ID_NATURAL_VIBRATION,
                             ID_DYNAMIC_RESPONSE,
                             ID_DYNAMIC_DATA,
                             ID_CANCEL_RUN,
                             ID_ANIMATE,
                             ID_ENGINEERING_UNITS,
                             ID_ELEMENT_GROUP,
                             ID_NODE_NUMBERS,
                             ID_ELEMENT_NUMBERS,
                             ID_CONSTRAINTS,
                             ID_SECTIONS};

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// "&1 name" for the numbered lists of the menus; an "&" in the name stays visible.
QString NumberedEntry(int index, QString name) {
    return QStringLiteral("&%1 %2").arg(index + 1).arg(name.replace('&', QStringLiteral("&&")));
}

// "打开(&O)...\tCtrl+O" -> "打开"
QString PlainMenuText(const QString& text) {
    QString plain = text.section(QLatin1Char('\t'), 0, 0);
    plain.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
    plain.remove(QStringLiteral("..."));
    return plain;
}

}  // namespace

QAction* CMainFrame::AddAction(int id, const QString& text, std::function<void()> handler,
                               const QList<QKeySequence>& alternates) {
    auto* action = new QAction(text, this);
    action->setData(id);
    action->setStatusTip(CommandPrompt(id));
    const QString tip = CommandToolTip(id);
    action->setToolTip(tip.isEmpty() ? PlainMenuText(text) : tip);
    action->setIcon(CommandIcon(id));
    action->setIconVisibleInMenu(false);
    QList<QKeySequence> keys;
    const QString keyText = text.section(QLatin1Char('\t'), 1);
    if (!keyText.isEmpty()) keys << QKeySequence(keyText, QKeySequence::PortableText);
    keys << alternates;
    if (!keys.isEmpty()) action->setShortcuts(keys);
    if (handler) connect(action, &QAction::triggered, this, [handler] { handler(); });
    m_actions[id] = action;
    return action;
}

void CMainFrame::CreateActions() {
    CMorvexApp* app = &m_app;
    const auto editor = [this](auto f) {
        return [this, f] {
            if (CMyeditView* v = ActiveEditor()) f(v);
        };
    };
    const auto textDoc = [this](auto f) {
        return [this, f] {
            if (CMyeditView* v = ActiveEditor()) f(v->Document());
        };
    };
    const auto resultDoc = [this](auto f) {
        return [this, f] {
            if (CMorvexDoc* d = ActiveResultDoc()) f(d);
        };
    };
    const auto view = [this](int id) { return [this, id] { RunViewCommand(id); }; };
    using K = QKeySequence;

    AddAction(ID_FILE_NEW, Text("新建(&N)\tCtrl+N"), [app] { app->OnFileNew(); });
    AddAction(ID_FILE_OPEN, Text("打开(&O)...\tCtrl+O"), [app] { app->OnFileOpen(); });
    AddAction(ID_OPEN_TEXT, Text("打开文本文件"), [app] { app->OnOpenTextFile(); });
    AddAction(ID_FILE_CLOSE, Text("关闭(&C)"), [this] {
        if (CChildFrame* c = ActiveChild()) c->close();
    });
    AddAction(ID_FILE_SAVE, Text("保存(&S)\tCtrl+S"),
              textDoc([](CMyeditDoc* d) { d->DoFileSave(); }));
    AddAction(ID_FILE_SAVE_AS, Text("另存为(&A)..."),
              textDoc([](CMyeditDoc* d) { d->DoSaveAs(); }));
    // Printing belongs to whichever view is active: the editor or the result view.
    const auto print = [this, editor](int id, auto f) {
        return [this, id, f = editor(f)] {
            if (ActiveEditor())
                f();
            else if (ActiveResultView())
                RunViewCommand(id);
        };
    };
    AddAction(ID_FILE_PRINT, Text("打印(&P)...\tCtrl+P"),
              print(ID_FILE_PRINT, [](CMyeditView* v) { v->Print(false); }));
    AddAction(ID_FILE_PRINT_DIRECT, Text("快速打印"),
              print(ID_FILE_PRINT_DIRECT, [](CMyeditView* v) { v->Print(true); }));
    AddAction(ID_FILE_PRINT_PREVIEW, Text("打印预览(&V)"),
              print(ID_FILE_PRINT_PREVIEW, [](CMyeditView* v) { v->PrintPreview(); }));
    AddAction(ID_FILE_PRINT_SETUP, Text("打印设置(&R)..."), [app] { app->OnPrintSetup(); });
    AddAction(ID_EXPORT_REPORT, Text("导出计算书..."), [this] { OnExport(ID_EXPORT_REPORT); });
    AddAction(ID_EXPORT_EXCEL, Text("导出到Excel..."), [this] { OnExport(ID_EXPORT_EXCEL); });
    AddAction(ID_EXPORT_DXF, Text("导出DXF..."), [this] { OnExport(ID_EXPORT_DXF); });
    AddAction(ID_APP_EXIT, Text("退出(&X)"), [this] { close(); });

    AddAction(ID_EDIT_UNDO, Text("撤消(&U)\tCtrl+Z"), editor([](CMyeditView* v) { v->undo(); }));
    AddAction(ID_EDIT_CUT, Text("剪切(&T)\tCtrl+X"), editor([](CMyeditView* v) { v->cut(); }),
              {K(Qt::SHIFT | Qt::Key_Delete)});
    AddAction(ID_EDIT_COPY, Text("复制(&C)\tCtrl+C"), editor([](CMyeditView* v) { v->copy(); }),
              {K(Qt::CTRL | Qt::Key_Insert)});
    AddAction(ID_EDIT_PASTE, Text("粘贴(&P)\tCtrl+V"),
              editor([](CMyeditView* v) { v->PlainPaste(); }), {K(Qt::SHIFT | Qt::Key_Insert)});
    AddAction(ID_EDIT_CLEAR, Text("删除"), editor([](CMyeditView* v) { v->DeleteSelection(); }));
    AddAction(ID_EDIT_SELECT_ALL, Text("全选(&L)\tCtrl+A"),
              editor([](CMyeditView* v) { v->selectAll(); }));
    AddAction(ID_EDIT_FIND, Text("查找(&F)\tCtrl+F"), [this] { ShowFindDialog(false); });
    AddAction(ID_EDIT_REPEAT, Text("重找(&I)\tF3"),
              editor([](CMyeditView* v) { CFindReplaceDialog::FindNext(v); }));
    AddAction(ID_EDIT_REPLACE, Text("替换(&E)\tCtrl+H"), [this] { ShowFindDialog(true); });

    QAction* toolbar = AddAction(ID_VIEW_TOOLBAR, Text("工具栏(&T)"), nullptr);
    toolbar->setCheckable(true);
    toolbar->setChecked(true);
    QAction* status = AddAction(ID_VIEW_STATUS_BAR, Text("状态栏(&S)"), nullptr);
    status->setCheckable(true);
    status->setChecked(true);
    connect(status, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });

    m_newWindow = AddAction(ID_WINDOW_NEW, Text("新建窗口(&N)"), [this] { OnNewWindow(); });
    AddAction(ID_WINDOW_CASCADE, Text("层叠(&C)"), [this] { Cascade(); });
    AddAction(ID_WINDOW_TILE_HORZ, Text("水平平铺"), [this] { Tile(true); });
    AddAction(ID_WINDOW_TILE_VERT, Text("竖直平铺"), [this] { Tile(false); });
    AddAction(ID_WINDOW_ARRANGE, Text("排列图标(&A)"), [this] { ArrangeIcons(); });

    AddAction(ID_HOMEPAGE, Text("Morvex 主页"), [app] { app->OnHomepage(); });
    m_aboutShort = new QAction(Text("关于(&A)..."), this);
    m_aboutShort->setStatusTip(CommandPrompt(ID_APP_ABOUT));
    connect(m_aboutShort, &QAction::triggered, this, [app] { app->OnAppAbout(); });
    AddAction(ID_APP_ABOUT, Text("关于Morvex(&A)..."), [app] { app->OnAppAbout(); });

    AddAction(ID_EDIT_DATA, Text("编辑原始数据文件"),
              resultDoc([](CMorvexDoc* d) { d->OnEditData(); }));
    AddAction(ID_VIEW_RESULT, Text("查看计算结果"),
              resultDoc([](CMorvexDoc* d) { d->OnViewResult(); }));
    AddAction(ID_DYNAMIC_LOAD_EDIT, Text("动力荷载编辑"),
              resultDoc([](CMorvexDoc* d) { d->OnDynamicLoadEdit(); }));

    // The result view's commands, routed to the active view.
    AddAction(ID_DISPLACEMENT_COLOUR, Text("改变位移状态的颜色"), view(ID_DISPLACEMENT_COLOUR));
    AddAction(ID_MAGNIFY, Text("放大"), view(ID_MAGNIFY));
    AddAction(ID_REDUCE, Text("减小"), view(ID_REDUCE));
    AddAction(ID_PREVIOUS, Text("显示前一个"), view(ID_PREVIOUS));
    AddAction(ID_NEXT, Text("显示后一个"), view(ID_NEXT));
    AddAction(ID_PAN, Text("移动图形"), view(ID_PAN));
    AddAction(ID_ZOOM, Text("缩放图形"), view(ID_ZOOM));
    AddAction(ID_WINDOW_ZOOM, Text("窗选放大"), view(ID_WINDOW_ZOOM));
    AddAction(ID_INITIAL_WINDOW, Text("初始窗口"), view(ID_INITIAL_WINDOW));
    AddAction(ID_LIVE_LOAD_TYPE, Text("活载类型选择"), view(ID_LIVE_LOAD_TYPE));
    AddAction(ID_MOMENT_ENVELOPE, Text("弯矩包络图"), view(ID_MOMENT_ENVELOPE));
    AddAction(ID_SHEAR_ENVELOPE, Text("剪力包络图"), view(ID_SHEAR_ENVELOPE));
    AddAction(ID_AXIAL_ENVELOPE, Text("轴力包络图"), view(ID_AXIAL_ENVELOPE));
    AddAction(ID_COMBINATION, Text("荷载组合"), view(ID_COMBINATION));
    AddAction(ID_INFLUENCE_OUTPUT, Text("影响线输出"), view(ID_INFLUENCE_OUTPUT));
    AddAction(ID_NATURAL_VIBRATION, Text("固有振动分析"), view(ID_NATURAL_VIBRATION));
    AddAction(ID_DYNAMIC_RESPONSE, Text("动力响应分析"), view(ID_DYNAMIC_RESPONSE));
    AddAction(ID_DYNAMIC_DATA, Text("动力响应数据"), view(ID_DYNAMIC_DATA));
    AddAction(ID_CANCEL_RUN, Text("取消"), view(ID_CANCEL_RUN));
    AddAction(ID_ANIMATE, Text("播放"), view(ID_ANIMATE));
    AddAction(ID_ENGINEERING_UNITS, Text("工程单位(kN, kN·m, mm)"), view(ID_ENGINEERING_UNITS));
    AddAction(ID_ELEMENT_GROUP, Text("单元组选择"), view(ID_ELEMENT_GROUP));
    AddAction(ID_NODE_NUMBERS, Text("节点号"), view(ID_NODE_NUMBERS));
    AddAction(ID_ELEMENT_NUMBERS, Text("单元号"), view(ID_ELEMENT_NUMBERS));
    AddAction(ID_CONSTRAINTS, Text("约束"), view(ID_CONSTRAINTS));
    AddAction(ID_SECTIONS, Text("截面"), view(ID_SECTIONS));
}

void CMainFrame::CreateMenus() {
    m_recentMenu = new QMenu(Text("最近文件"), this);
    m_recentMenu->menuAction()->setStatusTip(CommandPrompt(ID_FILE_MRU_FILE1));
    const auto menu = [this](const char* title, std::initializer_list<int> ids) {
        auto* m = new QMenu(Text(title), this);
        for (int id : ids) {
            if (id == 0)
                m->addSeparator();
            else if (id == ID_FILE_MRU_FILE1)
                m->addMenu(m_recentMenu);
            else if (id == -ID_APP_ABOUT)
                m->addAction(m_aboutShort);
            else
                m->addAction(Action(id));
        }
        return m;
    };
    const int mru = ID_FILE_MRU_FILE1;

    QMenu* help = menu("帮助(&H)", {ID_HOMEPAGE, ID_APP_ABOUT});
    m_menus[kMenuNoDocument] = {
        menu("文件(&F)", {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_PRINT_SETUP, 0, mru, 0, ID_APP_EXIT}),
        menu("查看(&V)", {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}), help};

    QMenu* resultWindow = new QMenu(Text("窗口(&W)"), this);
    FillWindowMenu(resultWindow, true);
    m_menus[kMenuResult] = {
        menu("文件(&F)", {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_CLOSE, 0, ID_FILE_PRINT,
                          ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_SETUP, 0, ID_EXPORT_REPORT,
                          ID_EXPORT_EXCEL, ID_EXPORT_DXF, 0, mru, 0, ID_APP_EXIT}),
        menu("计算(&J)",
             {ID_LIVE_LOAD_TYPE, ID_MOMENT_ENVELOPE, ID_SHEAR_ENVELOPE, ID_AXIAL_ENVELOPE,
              ID_COMBINATION, 0, ID_INFLUENCE_OUTPUT, 0, ID_NATURAL_VIBRATION, ID_DYNAMIC_LOAD_EDIT,
              ID_DYNAMIC_RESPONSE, ID_DYNAMIC_DATA, ID_CANCEL_RUN}),
        menu("查看(&V)", {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, 0, ID_ELEMENT_GROUP, ID_NODE_NUMBERS,
                          ID_ELEMENT_NUMBERS, ID_CONSTRAINTS, ID_SECTIONS, 0, ID_ENGINEERING_UNITS,
                          ID_ANIMATE}),
        resultWindow, help};

    QMenu* textWindow = new QMenu(Text("窗口(&W)"), this);
    FillWindowMenu(textWindow, false);
    m_menus[kMenuText] = {
        menu("文件(&F)", {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_CLOSE, ID_FILE_SAVE, ID_FILE_SAVE_AS,
                          0, ID_FILE_PRINT_SETUP, ID_FILE_PRINT, 0, mru, 0, ID_APP_EXIT}),
        menu("编辑(&E)", {ID_EDIT_UNDO, 0, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, 0,
                          ID_EDIT_SELECT_ALL, 0, ID_EDIT_FIND, ID_EDIT_REPEAT, ID_EDIT_REPLACE}),
        menu("查看(&V)", {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}), textWindow,
        menu("帮助(&H)", {ID_HOMEPAGE, -ID_APP_ABOUT})};

    // Shortcuts work whichever menu bar is shown, so every action also belongs to the frame.
    for (auto& [id, action] : m_actions) addAction(action);
    UpdateRecentFiles(m_app.RecentFiles());
}

void CMainFrame::FillWindowMenu(QMenu* menu, bool withNewWindow) {
    // The list of open windows follows the fixed items, rebuilt each time the menu opens.
    connect(menu, &QMenu::aboutToShow, this, [this, menu, withNewWindow] {
        menu->clear();
        if (withNewWindow) menu->addAction(m_newWindow);
        for (int id :
             {ID_WINDOW_CASCADE, ID_WINDOW_TILE_HORZ, ID_WINDOW_TILE_VERT, ID_WINDOW_ARRANGE})
            menu->addAction(Action(id));
        const QList<QMdiSubWindow*> windows = m_mdi->subWindowList();
        if (!windows.isEmpty()) menu->addSeparator();
        for (int i = 0; i < windows.size(); ++i) {
            QMdiSubWindow* w = windows[i];
            // A result window and a text window of one file share its name: say which is which.
            QString name = w->windowTitle().remove(QStringLiteral("[*]"));
            if (auto* child = qobject_cast<CChildFrame*>(w))
                name += child->Document()->DocKind() == CDocument::kResult
                            ? QStringLiteral("（结果）")
                            : QStringLiteral("（文本）");
            QAction* a = menu->addAction(NumberedEntry(i, name));
            a->setCheckable(true);
            a->setChecked(w == m_mdi->currentSubWindow());
            a->setStatusTip(Text("激活此窗口"));
            connect(a, &QAction::triggered, this, [this, w] { m_mdi->setActiveSubWindow(w); });
        }
    });
    menu->aboutToShow();
}

void CMainFrame::CreateToolBar() {
    m_toolBar = new QToolBar(Text("工具栏"), this);
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_toolBar->setMovable(true);
    m_toolBar->setFloatable(true);

    const auto selector = [this](int id, int width, const QStringList& items) {
        auto* combo = new QComboBox(this);
        combo->setObjectName(id == ID_GRAPH_SELECTOR ? QStringLiteral("graphSelector")
                                                     : QStringLiteral("liveLoadSelector"));
        combo->setEditable(false);
        combo->setFixedWidth(width);
        combo->addItems(items);
        combo->setCurrentIndex(0);
        combo->setStatusTip(CommandPrompt(id));
        combo->setToolTip(CommandToolTip(id));
        // The list drops about 160 pixels below the box.
        combo->setMaxVisibleItems(qMax(3, 160 / qMax(1, combo->fontMetrics().height() + 4)));
        return combo;
    };
    m_graphSelector = selector(ID_GRAPH_SELECTOR, 120, GraphSelectorItems());
    m_liveLoadSelector = selector(ID_LIVE_LOAD_SELECTOR, 160, LiveLoadSelectorItems());
    // Only the user's choice runs a graph command; the views set the index quietly.
    connect(m_graphSelector, &QComboBox::activated, this, &CMainFrame::OnGraphSelector);
    connect(m_liveLoadSelector, &QComboBox::activated, this, &CMainFrame::OnLiveLoadSelector);

    const int buttons[] = {ID_FILE_NEW,
                           ID_FILE_OPEN,
                           ID_OPEN_TEXT,
                           ID_FILE_SAVE,
                           0,
                           ID_EDIT_DATA,
                           ID_VIEW_RESULT,
                           ID_DISPLACEMENT_COLOUR,
                           ID_MAGNIFY,
                           ID_REDUCE,
                           ID_PREVIOUS,
                           ID_NEXT,
                           ID_FILE_PRINT_DIRECT,
                           0,
                           ID_GRAPH_SELECTOR,
                           ID_LIVE_LOAD_SELECTOR,
                           ID_PAN,
                           ID_ZOOM,
                           ID_WINDOW_ZOOM,
                           ID_INITIAL_WINDOW,
                           ID_APP_ABOUT};
    for (int id : buttons) {
        if (id == 0)
            m_toolBar->addSeparator();
        else if (id == ID_GRAPH_SELECTOR)
            m_toolBar->addWidget(m_graphSelector);
        else if (id == ID_LIVE_LOAD_SELECTOR)
            m_toolBar->addWidget(m_liveLoadSelector);
        else
            m_toolBar->addAction(Action(id));
    }
    addToolBar(Qt::TopToolBarArea, m_toolBar);

    // The moving pictures: play/pause, the speed, and a slider over the records or phases.
    m_animationBar = new QToolBar(Text("动画"), this);
    m_animationBar->setObjectName(QStringLiteral("animationBar"));
    m_animationBar->addAction(Action(ID_ANIMATE));
    m_speedSelector = new QComboBox(this);
    m_speedSelector->setObjectName(QStringLiteral("speedSelector"));
    m_speedSelector->addItems({Text("每次1步"), Text("每次5步"), Text("每次20步")});
    m_speedSelector->setToolTip(Text("动画速度：每幅画面前进的动力响应时间步数"));
    m_animationBar->addWidget(m_speedSelector);
    m_stepSlider = new QSlider(Qt::Horizontal, this);
    m_stepSlider->setObjectName(QStringLiteral("stepSlider"));
    m_stepSlider->setFixedWidth(160);
    m_stepSlider->setToolTip(Text("时间步（振型：相位）"));
    m_animationBar->addWidget(m_stepSlider);
    addToolBar(Qt::TopToolBarArea, m_animationBar);
    connect(m_speedSelector, &QComboBox::activated, this, [this](int index) {
        if (CMorvexViewWidget* v = ActiveResultView())
            v->View().m_animationSpeed = index == 0 ? 1 : index == 1 ? 5 : 20;
    });
    connect(m_stepSlider, &QSlider::sliderMoved, this, [this](int value) {
        if (CMorvexViewWidget* v = ActiveResultView()) v->View().SetAnimationFrame(value);
        UpdateCommands();
    });

    QAction* toggle = Action(ID_VIEW_TOOLBAR);
    connect(toggle, &QAction::toggled, m_toolBar, &QToolBar::setVisible);
    connect(m_toolBar, &QToolBar::visibilityChanged, toggle, &QAction::setChecked);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &CMainFrame::UpdateCommands);
}

void CMainFrame::SwitchMenu(int resource) {
    if (resource == m_currentMenu) return;
    m_currentMenu = resource;
    menuBar()->clear();
    for (QMenu* m : m_menus[resource]) menuBar()->addMenu(m);
}

void CMainFrame::UpdateRecentFiles(const QStringList& files) {
    m_recentMenu->clear();
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        QAction* a = m_recentMenu->addAction(NumberedEntry(i, path));
        a->setData(ID_FILE_MRU_FILE1 + i);
        a->setStatusTip(CommandPrompt(ID_FILE_MRU_FILE1));
        connect(a, &QAction::triggered, this, [this, i] { m_app.OnOpenRecentFile(i); });
    }
    m_recentMenu->setEnabled(!files.isEmpty());
}

void CMainFrame::UpdateCommands() {
    CChildFrame* child = ActiveChild();
    const bool result = child && child->Document()->DocKind() == CDocument::kResult;
    CMyeditView* editor = ActiveEditor();
    const bool text = editor != nullptr;
    const bool writable = text && !editor->isReadOnly();
    const bool selection = text && editor->textCursor().hasSelection();
    const QMimeData* clip = QApplication::clipboard()->mimeData();
    const bool clipText = clip && clip->hasText();
    CMorvexViewWidget* resultView = ActiveResultView();

    const std::pair<int, bool> states[] = {
        {ID_FILE_CLOSE, child != nullptr},
        {ID_FILE_SAVE, text},
        {ID_FILE_SAVE_AS, text},
        {ID_FILE_PRINT, text || resultView},
        {ID_FILE_PRINT_DIRECT, text || resultView},
        {ID_FILE_PRINT_PREVIEW, text || resultView},
        {ID_EDIT_UNDO, writable && editor->document()->isUndoAvailable()},
        {ID_EDIT_CUT, writable && selection},
        {ID_EDIT_COPY, selection},
        {ID_EDIT_PASTE, writable && clipText},
        {ID_EDIT_CLEAR, writable && selection},
        {ID_EDIT_SELECT_ALL, text},
        {ID_EDIT_FIND, text},
        {ID_EDIT_REPEAT, text},
        {ID_EDIT_REPLACE, writable},
        {ID_EDIT_DATA, result},
        {ID_EXPORT_REPORT, result},
        {ID_EXPORT_EXCEL, result},
        {ID_EXPORT_DXF, result},
        {ID_VIEW_RESULT, result},
        {ID_DYNAMIC_LOAD_EDIT, result},
        {ID_WINDOW_NEW, result},
        {ID_WINDOW_CASCADE, child != nullptr},
        {ID_WINDOW_TILE_HORZ, child != nullptr},
        {ID_WINDOW_TILE_VERT, child != nullptr},
        {ID_WINDOW_ARRANGE, child != nullptr},
    };
    for (const auto& [id, enabled] : states)
        if (QAction* a = Action(id)) a->setEnabled(enabled);
    for (int id : kViewCommands) {
        QAction* a = Action(id);
        if (!a) continue;
        if (!resultView) {
            a->setEnabled(false);
            continue;
        }
        const CCommandState st = resultView->View().CommandState(id);
        a->setEnabled(st.enabled);
        a->setCheckable(st.checked);
        a->setChecked(st.checked);
        // The display switches say what they will do ("隐藏节点号" while numbers show).
        if (!st.text.empty()) a->setText(QString::fromStdString(st.text));
    }
    // The slider follows the view's record or phase.
    const int limit = resultView ? resultView->View().AnimationFrameLimit() : -1;
    {
        const QSignalBlocker block(m_stepSlider);
        m_stepSlider->setEnabled(limit > 0);
        m_stepSlider->setRange(0, std::max(0, limit));
        if (limit > 0) m_stepSlider->setValue(resultView->View().AnimationFrame());
    }
    if (resultView) {
        const int speed = resultView->View().m_animationSpeed;
        m_speedSelector->setCurrentIndex(speed >= 20 ? 2 : speed >= 5 ? 1 : 0);
    }
    m_speedSelector->setEnabled(limit > 0);
    m_graphSelector->setEnabled(resultView &&
                                resultView->View().CommandState(ID_GRAPH_SELECTOR).enabled);
    m_liveLoadSelector->setEnabled(resultView &&
                                   resultView->View().CommandState(ID_LIVE_LOAD_SELECTOR).enabled);
}
