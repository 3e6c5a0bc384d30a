// The main frame: toolbar order and selectors, status panes and prompts, menu texts,
// and the host through which the analysis core reaches the window.
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QToolBar>
#include <thread>

#include "GuiTestSupport.h"
#include "app/Commands.h"
#include "app/MainFrame.h"
#include "app/MorvexApp.h"
#include "liveload/LiveLoadPlacement.h"
#include "platform/Host.h"

class FrameTest : public QObject {
    Q_OBJECT
private slots:
    void ToolbarHoldsTheButtonsAndSelectorsInOrder();
    void SelectorsListEveryItemAndStartAtTheFirst();
    void StatusBarHasFourPanesAndShowsPrompts();
    void MagnifyAndReducePromptWithTheCurrentScale();
    void MenusCarryTheirTextsAndAccelerators();
    void CoreMessagesAndStatusReachTheWindow();
};

namespace {

// The entries of a menu with separators as "-" and submenus by their title.
QStringList Entries(QMenu* menu) {
    QStringList entries;
    for (QAction* a : menu->actions())
        entries << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return entries;
}

QMenu* MenuNamed(CMainFrame& frame, const QString& title) {
    for (QAction* a : frame.menuBar()->actions())
        if (a->text() == title) return a->menu();
    return nullptr;
}

}  // namespace

void FrameTest::ToolbarHoldsTheButtonsAndSelectorsInOrder() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    QToolBar* bar = fx.Frame().ToolBar();
    QList<int> order;
    for (QAction* a : bar->actions()) {
        if (a->isSeparator())
            order << 0;
        else if (bar->widgetForAction(a) == fx.Frame().GraphSelector())
            order << ID_GRAPH_SELECTOR;
        else if (bar->widgetForAction(a) == fx.Frame().LiveLoadSelector())
            order << ID_LIVE_LOAD_SELECTOR;
        else
            order << a->data().toInt();
    }
    const QList<int> expected = {57600, 57601, 32805, 57603, 0,     32804, 32801,
                                 32806, 32802, 32803, 32809, 32810, 57608, 0,
                                 32812, 32813, 32824, 32822, 32821, 32825, 57664};
    QCOMPARE(order, expected);
    for (QAction* a : bar->actions()) {
        if (a->isSeparator() || bar->widgetForAction(a)) continue;
        QVERIFY2(!a->icon().isNull(), qPrintable(a->text()));
        QVERIFY2(!a->toolTip().isEmpty(), qPrintable(a->text()));
    }
    QCOMPARE(fx.Frame().Action(ID_FILE_OPEN)->toolTip(), QStringLiteral("打开"));
    QCOMPARE(fx.Frame().Action(ID_FILE_OPEN)->statusTip(), QStringLiteral("打开一个现有文档"));
}

void FrameTest::SelectorsListEveryItemAndStartAtTheFirst() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    QComboBox* graph = fx.Frame().GraphSelector();
    QComboBox* live = fx.Frame().LiveLoadSelector();
    QCOMPARE(graph->count(), 14);
    QCOMPARE(live->count(), kLiveLoadEntries);
    QCOMPARE(graph->currentIndex(), 0);
    QCOMPARE(live->currentIndex(), 0);
    QCOMPARE(graph->width(), 120);
    QCOMPARE(live->width(), 160);
    QVERIFY(!graph->isEditable());
    const std::pair<int, const char*> graphItems[] = {
        {0, "结构图"}, {4, "轴力图"},      {5, "弯矩包络图"}, {8, "影响线"},
        {9, "主振型"}, {11, "下缘拉应力"}, {12, "动力响应"},  {13, "组合包络图"}};
    for (const auto& [i, text] : graphItems) QCOMPARE(graph->itemText(i), QString::fromUtf8(text));
    const std::pair<int, const char*> liveItems[] = {{0, "无活载"},
                                                     {2, "人群荷载最小值"},
                                                     {3, "汽10最大值(→)"},
                                                     {6, "汽10最小值(←)"},
                                                     {18, "汽超20最小值(←)"},
                                                     {19, "履带50最大值"},
                                                     {22, "挂车80最小值"},
                                                     {26, "挂车120最小值"},
                                                     {27, "中—活载最大值(→)"},
                                                     {30, "中—活载最小值(←)"},
                                                     {31, "用户车列最大值(→)"},
                                                     {34, "用户车列最小值(←)"}};
    for (const auto& [i, text] : liveItems) QCOMPARE(live->itemText(i), QString::fromUtf8(text));
    QCOMPARE(graph->statusTip(), QStringLiteral("选择要看的图形"));
    QCOMPARE(live->toolTip(), QStringLiteral("活载"));
}

void FrameTest::StatusBarHasFourPanesAndShowsPrompts() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    CMainFrame& frame = fx.Frame();
    const QList<QLabel*> panes =
        frame.statusBar()->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
    QCOMPARE(panes.size(), 5);  // prompt, caption, scale, x, y
    QCOMPARE(frame.PaneText(0), QStringLiteral("就绪"));
    QLabel* scale = frame.statusBar()->findChild<QLabel*>(QStringLiteral("scalePane"));
    QVERIFY(scale);
    frame.SetCurrentScale(0.25);
    QCOMPARE(scale->text(), QStringLiteral("比例: 2.500e-001"));
    QList<int> widths;
    for (QLabel* p : panes) widths << p->minimumWidth();
    QVERIFY(widths.contains(130));
    QCOMPARE(widths.count(80), 2);

    // A hovered command's prompt goes to pane 0; leaving it brings "就绪" back.
    QStatusTipEvent hover(frame.Action(ID_FILE_NEW)->statusTip());
    QApplication::sendEvent(frame.MdiArea(), &hover);
    QCOMPARE(frame.PaneText(0), QStringLiteral("建立新文档"));
    QStatusTipEvent leave{QString()};
    QApplication::sendEvent(&frame, &leave);
    QCOMPARE(frame.PaneText(0), QStringLiteral("就绪"));

    frame.SetPaneText(2, QStringLiteral("x: 1.5"));
    QCOMPARE(frame.PaneText(2), QStringLiteral("x: 1.5"));
}

void FrameTest::MagnifyAndReducePromptWithTheCurrentScale() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    CMainFrame& frame = fx.Frame();
    QCOMPARE(frame.m_currentScale, 1.0);
    QCOMPARE(frame.Action(ID_MAGNIFY)->statusTip(), QStringLiteral("当前比例: 1.000000e+000"));
    frame.SetCurrentScale(0.25);
    QCOMPARE(frame.Action(ID_REDUCE)->statusTip(), QStringLiteral("当前比例: 2.500000e-001"));
    QCOMPARE(frame.Action(ID_MAGNIFY)->toolTip(), QStringLiteral("放大"));
}

void FrameTest::MenusCarryTheirTextsAndAccelerators() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    CMainFrame& frame = fx.Frame();
    QCOMPARE(Entries(MenuNamed(frame, "文件(&F)")),
             (QStringList{"新建(&N)\tCtrl+N", "打开(&O)...\tCtrl+O", "打印设置(&R)...", "-",
                          "最近文件", "-", "退出(&X)"}));
    QCOMPARE(Entries(MenuNamed(frame, "帮助(&H)")),
             (QStringList{"Morvex 主页", "关于Morvex(&A)..."}));
    QVERIFY(frame.Action(ID_HOMEPAGE)
                ->statusTip()
                .startsWith(QStringLiteral("启动IE浏览器，访问Morvex主页：http")));

    fx.WriteFile("m.fem", kSmallModel);
    QVERIFY(fx.App().OpenDocumentFile(fx.Path("m.fem")));
    CGuiFixture::Settle();
    QCOMPARE(Entries(MenuNamed(frame, "计算(&J)")),
             (QStringList{"活载类型选择", "弯矩包络图", "剪力包络图", "轴力包络图", "荷载组合", "-",
                          "影响线输出", "-", "固有振动分析", "动力荷载编辑", "动力响应分析",
                          "动力响应数据", "取消"}));
    QMenu* window = MenuNamed(frame, "窗口(&W)");
    emit window->aboutToShow();
    QCOMPARE(Entries(window).mid(0, 5),
             (QStringList{"新建窗口(&N)", "层叠(&C)", "水平平铺", "竖直平铺", "排列图标(&A)"}));

    fx.App().OnFileNew();
    CGuiFixture::Settle();
    QCOMPARE(Entries(MenuNamed(frame, "编辑(&E)")),
             (QStringList{"撤消(&U)\tCtrl+Z", "-", "剪切(&T)\tCtrl+X", "复制(&C)\tCtrl+C",
                          "粘贴(&P)\tCtrl+V", "-", "全选(&L)\tCtrl+A", "-", "查找(&F)\tCtrl+F",
                          "重找(&I)\tF3", "替换(&E)\tCtrl+H"}));
    QCOMPARE(Entries(MenuNamed(frame, "帮助(&H)")).last(), QStringLiteral("关于(&A)..."));
    window = MenuNamed(frame, "窗口(&W)");
    emit window->aboutToShow();
    QVERIFY(!Entries(window).contains(QStringLiteral("新建窗口(&N)")));

    QCOMPARE(frame.Action(ID_EDIT_COPY)->shortcuts(),
             (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_C),
                                  QKeySequence(Qt::CTRL | Qt::Key_Insert)}));
    QCOMPARE(frame.Action(ID_EDIT_PASTE)->shortcuts().last(),
             QKeySequence(Qt::SHIFT | Qt::Key_Insert));
    QCOMPARE(frame.Action(ID_EDIT_CUT)->shortcuts().last(),
             QKeySequence(Qt::SHIFT | Qt::Key_Delete));
    QCOMPARE(frame.Action(ID_EDIT_REPEAT)->shortcut(), QKeySequence(Qt::Key_F3));
    QCOMPARE(frame.Action(ID_FILE_SAVE)->shortcuts(),
             QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_S)});
}

void FrameTest::CoreMessagesAndStatusReachTheWindow() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    {
        CModalRecorder boxes;
        ShowMessage("错误：内存不够!", "节点 3 方向 y");
        QCOMPARE(boxes.texts, QStringList{QStringLiteral("错误：内存不够!")});
        QCOMPARE(boxes.details, QStringList{QStringLiteral("节点 3 方向 y")});
    }
    ShowStatus("正在计算影响线 2");
    QCOMPARE(fx.Frame().PaneText(0), QStringLiteral("正在计算影响线 2"));

    // From a worker thread both arrive on the window's thread, without the worker waiting.
    CModalRecorder boxes;
    std::thread worker([] {
        ShowStatus("第 3 阶振型");
        ShowMessage("固有振动分析完成", "");
    });
    worker.join();
    QTRY_COMPARE(boxes.texts, QStringList{QStringLiteral("固有振动分析完成")});
    QCOMPARE(fx.Frame().PaneText(0), QStringLiteral("第 3 阶振型"));
}

QTEST_MAIN(FrameTest)
#include "FrameTest.moc"
