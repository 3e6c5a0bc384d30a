// The result window in the desktop program: the graph selector and the view's graph kind,
// the commands' enable, check and text rules as the menus show them, previous/next,
// magnification and printing, the focus rule between two views, the status panes.
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMenu>
#include <QPrinter>
#include <QTest>

#include "GuiTestSupport.h"
#include "app/ChildFrame.h"
#include "app/Commands.h"
#include "app/MainFrame.h"
#include "app/MorvexApp.h"
#include "app/MorvexDoc.h"
#include "engine/PlaneFrame.h"
#include "platform/Format.h"
#include "view/RecordingSurface.h"
#include "view/ViewCommands.h"
#include "view/qt/MorvexViewWidget.h"

class ResultWindowTest : public QObject {
    Q_OBJECT
private slots:
    void ResultDocumentShowsTheDrawnView();
    void GraphSelectorAndGraphKindFollowEachOther();
    void MenusFollowTheEnableCheckAndTextRules();
    void PreviousAndNextStopAtTheirLimits();
    void MagnifyTwiceLeavesThePrintedLabelsAlone();
    void ModelWithoutLoadCasesFallsBackToTheStructure();
    void SharedControlsFollowTheActiveView();
};

namespace {

// The example opened in a started program; the view of its window.
struct OpenExample {
    CGuiFixture fx;
    CMorvexDoc* doc = nullptr;
    CMorvexViewWidget* widget = nullptr;

    // Opens a copy of the example (or the file given) in the scratch directory, so that
    // its result files stay out of the source tree.
    bool Open(QString path = QString()) {
        if (!fx.Start()) return false;
        if (path.isEmpty()) {
            path = fx.Path("girder.fem");
            if (!QFile::copy(ExamplePath(), path)) return false;
        }
        doc = qobject_cast<CMorvexDoc*>(fx.App().OpenDocumentFile(path));
        if (!doc) return false;
        CGuiFixture::Settle();
        widget = fx.Frame().ActiveResultView();
        return widget != nullptr;
    }
    CMainFrame& Frame() { return fx.Frame(); }
    CMorvexView& View() { return widget->View(); }
    // Chooses an entry of the graph selector as the user does.
    void Choose(int index) {
        QComboBox* box = Frame().GraphSelector();
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    void Trigger(int id) { Frame().Action(id)->trigger(); }
    bool Enabled(int id) { return Frame().Action(id)->isEnabled(); }
};

// The texts of the context menu's entries with their enabled and checked states.
QStringList ContextEntries(CMorvexViewWidget* widget) {
    std::unique_ptr<QMenu> menu(widget->CreateContextMenu(nullptr));
    QStringList entries;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator()) continue;
        entries << a->text() + (a->isEnabled() ? "" : "-") + (a->isChecked() ? "*" : "");
    }
    return entries;
}

// The texts drawn on the printed page.
QStringList PrintedTexts(CMorvexView& view) {
    CRecordingSurface page;
    view.Print(page);
    QStringList texts;
    for (const CDrawOp& op : page.OfKind(CDrawOp::Text)) texts << QString::fromStdString(op.text);
    return texts;
}

}  // namespace

void ResultWindowTest::ResultDocumentShowsTheDrawnView() {
    OpenExample ex;
    QVERIFY(ex.Open());
    QCOMPARE(ex.View().m_pFrame, ex.doc->Engine());
    QCOMPARE(ex.View().m_nElements, 20);
    // The window paints the structure; its caption and the mouse position reach the panes.
    ex.widget->repaint();
    QCOMPARE(ex.Frame().PaneText(1), QStringLiteral("结构图"));
    QTest::mouseMove(ex.widget, ex.widget->rect().center());
    QVERIFY(!ex.Frame().PaneText(2).isEmpty());
    QVERIFY(!ex.Frame().PaneText(3).isEmpty());
    bool ok = false;
    QVERIFY(ex.Frame().PaneText(2).startsWith(QStringLiteral("x: ")));
    QVERIFY(ex.Frame().PaneText(3).startsWith(QStringLiteral("y: ")));
    const double x = ex.Frame().PaneText(2).mid(3).toDouble(&ok);
    QVERIFY2(ok, qPrintable(ex.Frame().PaneText(2)));
    // The window centre is over the middle of the 100 m girder.
    QVERIFY2(std::abs(x - 50.0) < 2.0, qPrintable(ex.Frame().PaneText(2)));
    QCOMPARE(ex.Frame().CurrentMenu(), int(CMainFrame::kMenuResult));
}

void ResultWindowTest::GraphSelectorAndGraphKindFollowEachOther() {
    OpenExample ex;
    QVERIFY(ex.Open());
    QComboBox* selector = ex.Frame().GraphSelector();
    QVERIFY(selector->isEnabled());
    QCOMPARE(selector->currentIndex(), 0);

    for (int kind :
         {graph::kDisplaced, graph::kMoment, graph::kShear, graph::kAxial, graph::kInfluence,
          graph::kUpperStress, graph::kLowerStress, graph::kStructure}) {
        ex.Choose(kind);
        QCOMPARE(ex.View().m_graphKind, kind);
        QCOMPARE(selector->currentIndex(), kind);
    }
    // A command moves the selector; a graph whose analysis has not run falls back.
    ex.widget->RunCommand(ID_SHEAR);
    QCOMPARE(selector->currentIndex(), int(graph::kShear));
    for (int later : {graph::kMode, graph::kDynamic}) {
        ex.Choose(later);
        QCOMPARE(ex.View().m_graphKind, int(graph::kStructure));
        QCOMPARE(selector->currentIndex(), int(graph::kStructure));
    }
    // The caption of the drawn graph follows in pane 1.
    ex.Choose(graph::kInfluence);
    ex.widget->repaint();
    QCOMPARE(ex.Frame().PaneText(1), QStringLiteral("影响线：1"));

    // The current scale is that of the kind shown (fitted at its first drawing).
    ex.Choose(graph::kMoment);
    ex.widget->repaint();
    const double fitted = ex.View().m_graphScale[graph::kMoment].factor;
    QCOMPARE(ex.Frame().m_currentScale, fitted);
    ex.Trigger(ID_MAGNIFY);
    QCOMPARE(ex.Frame().m_currentScale, 2 * fitted);
    QCOMPARE(ex.Frame().Action(ID_MAGNIFY)->statusTip(),
             QString::fromStdString(FormatString("当前比例: %e", 2 * fitted)));
    ex.Choose(graph::kShear);
    QCOMPARE(ex.Frame().m_currentScale, ex.View().m_graphScale[graph::kShear].factor);
    ex.Choose(graph::kMoment);
    QCOMPARE(ex.Frame().m_currentScale, 2 * fitted);
}

void ResultWindowTest::MenusFollowTheEnableCheckAndTextRules() {
    OpenExample ex;
    QVERIFY(ex.Open());
    // On the structure: no element group; the graph and display commands are there.
    QVERIFY(!ex.Enabled(ID_ELEMENT_GROUP));
    for (int id : {ID_MAGNIFY, ID_REDUCE, ID_DISPLACEMENT_COLOUR, ID_PAN, ID_ZOOM, ID_WINDOW_ZOOM,
                   ID_INITIAL_WINDOW, ID_NODE_NUMBERS, ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW})
        QVERIFY2(ex.Enabled(id), qPrintable(ex.Frame().Action(id)->text()));
    // A result document is never saved.
    QVERIFY(!ex.Enabled(ID_FILE_SAVE));
    // The live-load selector belongs to the influence line.
    QVERIFY(!ex.Frame().LiveLoadSelector()->isEnabled());

    ex.Choose(graph::kMoment);
    QVERIFY(ex.Enabled(ID_ELEMENT_GROUP));
    ex.Choose(graph::kDisplaced);
    QVERIFY(!ex.Enabled(ID_ELEMENT_GROUP));
    // The context menu checks the graph shown and offers no graph without its data.
    const QStringList entries = ContextEntries(ex.widget);
    QVERIFY2(entries.contains(QStringLiteral("位移状态*")), qPrintable(entries.join(',')));
    QVERIFY(entries.contains(QStringLiteral("影响线")));
    QVERIFY(entries.contains(QStringLiteral("主振型-")));
    QVERIFY(entries.contains(QStringLiteral("隐藏节点号")));

    // The switches say what they will do next, in the menu and in the context menu.
    const std::pair<int, const char*> switches[] = {
        {ID_NODE_NUMBERS, "节点号"}, {ID_ELEMENT_NUMBERS, "单元号"}, {ID_CONSTRAINTS, "约束"}};
    for (const auto& [id, what] : switches) {
        QCOMPARE(ex.Frame().Action(id)->text(), QStringLiteral("隐藏") + QString::fromUtf8(what));
        ex.Trigger(id);
        QCOMPARE(ex.Frame().Action(id)->text(), QStringLiteral("显示") + QString::fromUtf8(what));
    }
    QVERIFY(!ex.View().m_showNodeNumbers);
    QVERIFY(!ex.View().m_showElementNumbers);
    QVERIFY(!ex.View().m_showConstraints);
    QCOMPARE(ex.Frame().Action(ID_SECTIONS)->text(), QStringLiteral("显示截面"));
    ex.Trigger(ID_SECTIONS);
    QCOMPARE(ex.Frame().Action(ID_SECTIONS)->text(), QStringLiteral("隐藏截面"));
    QVERIFY(ContextEntries(ex.widget).contains(QStringLiteral("显示节点号")));

    // A mouse mode turns the context menu into the mode menu.
    ex.Trigger(ID_PAN);
    QCOMPARE(ContextEntries(ex.widget).first(), QStringLiteral("退出"));
}

void ResultWindowTest::PreviousAndNextStopAtTheirLimits() {
    OpenExample ex;
    QVERIFY(ex.Open());
    const int nCases = ex.doc->Engine()->m_nCases;
    const int nLines = ex.doc->Engine()->m_nIlLines;
    QVERIFY(nCases >= 2 && nLines >= 2);

    ex.Choose(graph::kDisplaced);
    QVERIFY(!ex.Enabled(ID_PREVIOUS));
    QVERIFY(ex.Enabled(ID_NEXT));
    for (int i = 1; i < nCases; ++i) ex.Trigger(ID_NEXT);
    QCOMPARE(ex.View().m_caseIndex, nCases - 1);
    QVERIFY(!ex.Enabled(ID_NEXT));
    QVERIFY(ex.Enabled(ID_PREVIOUS));
    // A disabled button changes nothing even when its command arrives.
    ex.widget->RunCommand(ID_NEXT);
    QCOMPARE(ex.View().m_caseIndex, nCases - 1);
    ex.widget->repaint();
    QCOMPARE(ex.Frame().PaneText(1), QStringLiteral("工况：%1").arg(nCases));

    // The influence line steps through its own index, from the first line again.
    ex.Choose(graph::kInfluence);
    QVERIFY(!ex.Enabled(ID_PREVIOUS));
    for (int i = 1; i < nLines; ++i) ex.Trigger(ID_NEXT);
    QCOMPARE(ex.View().m_lineIndex, nLines - 1);
    QVERIFY(!ex.Enabled(ID_NEXT));
    QCOMPARE(ex.View().m_caseIndex, nCases - 1);
    for (int i = 0; i < nLines + 2; ++i) ex.widget->RunCommand(ID_PREVIOUS);
    QCOMPARE(ex.View().m_lineIndex, 0);
    QVERIFY(!ex.Enabled(ID_PREVIOUS));
}

void ResultWindowTest::MagnifyTwiceLeavesThePrintedLabelsAlone() {
    OpenExample ex;
    QVERIFY(ex.Open());
    ex.Choose(graph::kMoment);
    const QStringList before = PrintedTexts(ex.View());
    CRecordingSurface page;
    ex.View().Print(page);
    const size_t linesBefore =
        page.OfKind(CDrawOp::Polyline).size() + page.OfKind(CDrawOp::Line).size();

    const double fitted = ex.View().m_graphScale[graph::kMoment].factor;
    ex.Trigger(ID_MAGNIFY);
    ex.Trigger(ID_MAGNIFY);
    QCOMPARE(ex.View().m_graphScale[graph::kMoment].factor, 4 * fitted);
    QCOMPARE(ex.Frame().m_currentScale, 4 * fitted);
    // The diagram is four times as tall, but the labels give the unmagnified values.
    CRecordingSurface magnified;
    ex.View().Print(magnified);
    QCOMPARE(magnified.OfKind(CDrawOp::Polyline).size() + magnified.OfKind(CDrawOp::Line).size(),
             linesBefore);
    QVERIFY(magnified.ops.size() == page.ops.size());
    bool moved = false;
    for (size_t i = 0; i < page.ops.size(); ++i)
        if (page.ops[i].points != magnified.ops[i].points) moved = true;
    QVERIFY(moved);
    const QStringList after = PrintedTexts(ex.View());
    QCOMPARE(after, before);
    QVERIFY(before.size() > 2);

    // The print command of the menu prints the page through the shared printer.
    QPrinter* printer = ex.fx.App().Printer();
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(ex.fx.Path("moment.pdf"));
    ex.Trigger(ID_FILE_PRINT_DIRECT);
    QVERIFY(QFileInfo(ex.fx.Path("moment.pdf")).size() > 1000);
}

void ResultWindowTest::ModelWithoutLoadCasesFallsBackToTheStructure() {
    OpenExample ex;
    // The small frame with no load case at all.
    ex.fx.WriteFile("unloaded.fem",
                    "3 2 0 1 1 0 1 0\n"
                    "1 0 0 0 0\n"
                    "3 10 0 0 1\n"
                    "1 2e11 1.2e-5\n"
                    "1 0.01 1e-4 78500 0 0.1 0.1\n"
                    "1 1 2 1 1 1 0\n"
                    "2 2 3 1 1 1 0\n"
                    "1 111 0 0 0\n"
                    "0\n");
    QVERIFY(ex.Open(ex.fx.Path("unloaded.fem")));
    QCOMPARE(ex.doc->Engine()->m_nCases, 0);
    QVERIFY(!ex.Enabled(ID_PREVIOUS));
    QVERIFY(!ex.Enabled(ID_NEXT));
    for (int kind : {graph::kDisplaced, graph::kMoment, graph::kShear, graph::kAxial,
                     graph::kUpperStress, graph::kLowerStress, graph::kInfluence}) {
        ex.Choose(kind);
        QCOMPARE(ex.View().m_graphKind, int(graph::kStructure));
        QCOMPARE(ex.Frame().GraphSelector()->currentIndex(), int(graph::kStructure));
    }
    ex.widget->repaint();
    QCOMPARE(ex.Frame().PaneText(1), QStringLiteral("结构图"));
    QVERIFY(ContextEntries(ex.widget).contains(QStringLiteral("位移状态-")));
}

void ResultWindowTest::SharedControlsFollowTheActiveView() {
    OpenExample ex;
    QVERIFY(ex.Open());
    CChildFrame* first = ex.doc->Frames().first();
    ex.Choose(graph::kMoment);
    ex.widget->repaint();
    ex.Trigger(ID_MAGNIFY);
    const double magnified = ex.widget->View().m_graphScale[graph::kMoment].factor;

    // A second document of the same file, on the displaced shape.
    auto* other = qobject_cast<CMorvexDoc*>(ex.fx.App().OpenDocumentFile(ex.fx.Path("girder.fem")));
    QVERIFY(other);
    CGuiFixture::Settle();
    CMorvexViewWidget* second = ex.Frame().ActiveResultView();
    QVERIFY(second && second != ex.widget);
    QCOMPARE(ex.Frame().GraphSelector()->currentIndex(), int(graph::kStructure));
    ex.Choose(graph::kDisplaced);
    QCOMPARE(second->View().m_graphKind, int(graph::kDisplaced));
    QCOMPARE(ex.widget->View().m_graphKind, int(graph::kMoment));
    QCOMPARE(ex.Frame().m_currentScale, second->View().m_graphScale[graph::kDisplaced].factor);

    ex.Frame().MdiArea()->setActiveSubWindow(first);
    CGuiFixture::Settle();
    QCOMPARE(ex.Frame().ActiveResultView(), ex.widget);
    QCOMPARE(ex.Frame().GraphSelector()->currentIndex(), int(graph::kMoment));
    QCOMPARE(ex.Frame().m_currentScale, magnified);
    QVERIFY(ex.Enabled(ID_ELEMENT_GROUP));

    ex.Frame().MdiArea()->setActiveSubWindow(other->Frames().first());
    CGuiFixture::Settle();
    QCOMPARE(ex.Frame().GraphSelector()->currentIndex(), int(graph::kDisplaced));
    QVERIFY(!ex.Enabled(ID_ELEMENT_GROUP));

    // A text document leaves the view commands disabled.
    ex.doc->OnViewResult();
    CGuiFixture::Settle();
    QVERIFY(!ex.Frame().ActiveResultView());
    QVERIFY(!ex.Enabled(ID_MAGNIFY));
    QVERIFY(!ex.Frame().GraphSelector()->isEnabled());
}

QTEST_MAIN(ResultWindowTest)
#include "ResultWindowTest.moc"
