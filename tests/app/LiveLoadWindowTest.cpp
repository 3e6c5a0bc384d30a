// Live loads in the result window: the live-load selector places vehicles and writes the
// placement file, the influence-line listing opens in the editor, the envelope commands
// write their files and the envelope graph draws them, the live-load type dialog.
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QMdiArea>
#include <QTest>
#include <QTimer>

#include "GuiTestSupport.h"
#include "app/ChildFrame.h"
#include "app/Commands.h"
#include "app/MainFrame.h"
#include "app/MorvexApp.h"
#include "app/MorvexDoc.h"
#include "app/MyeditDoc.h"
#include "engine/PlaneFrame.h"
#include "liveload/LiveLoad.h"
#include "view/qt/LiveLoadTypeDialog.h"
#include "view/qt/MorvexViewWidget.h"

class LiveLoadWindowTest : public QObject {
    Q_OBJECT
private slots:
    void LiveLoadSelectorPlacesVehiclesAndWritesADataFile();
    void InfluenceListingOpensInTheEditor();
    void EnvelopeCommandFeedsTheEnvelopeGraph();
    void TypeDialogListsTheElevenTypes();
    void TypeCommandStoresTheChosenType();
};

namespace {

struct Window {
    CGuiFixture fx;
    CMorvexDoc* doc = nullptr;
    CMorvexViewWidget* widget = nullptr;

    bool Open() {
        if (!fx.Start()) return false;
        if (!QFile::copy(ExamplePath(), fx.Path("girder.fem"))) return false;
        doc = qobject_cast<CMorvexDoc*>(fx.App().OpenDocumentFile(fx.Path("girder.fem")));
        CGuiFixture::Settle();
        widget = fx.Frame().ActiveResultView();
        return doc && widget;
    }
    CMainFrame& Frame() { return fx.Frame(); }
    static void Choose(QComboBox* box, int index) {
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
};

}  // namespace

void LiveLoadWindowTest::LiveLoadSelectorPlacesVehiclesAndWritesADataFile() {
    Window w;
    QVERIFY(w.Open());
    QComboBox* liveLoads = w.Frame().LiveLoadSelector();
    QVERIFY(!liveLoads->isEnabled());
    CModalRecorder boxes;
    Window::Choose(w.Frame().GraphSelector(), 8);
    QVERIFY(liveLoads->isEnabled());

    Window::Choose(liveLoads, 11);  // 汽20最大值(→)
    CMorvexView& v = w.widget->View();
    QVERIFY(!v.m_liveLoadPlacements.empty());
    QCOMPARE(v.m_liveLoadItem, 11);
    QVERIFY(QFileInfo::exists(w.fx.Path("girder_活载.fem")));
    w.widget->repaint();
    QCOMPARE(w.Frame().PaneText(1), QStringLiteral("影响线：1"));

    // The selector shows each view's own choice; the placement file opens as a data file.
    Window::Choose(w.Frame().GraphSelector(), 2);
    QVERIFY(!liveLoads->isEnabled());
    auto* placed =
        qobject_cast<CMorvexDoc*>(w.fx.App().OpenDocumentFile(w.fx.Path("girder_活载.fem")));
    QVERIFY(placed);
    QCOMPARE(placed->Engine()->m_nCases, 1);
    CGuiFixture::Settle();
    QCOMPARE(liveLoads->currentIndex(), 0);
    w.Frame().MdiArea()->setActiveSubWindow(w.doc->Frames().first());
    CGuiFixture::Settle();
    QCOMPARE(liveLoads->currentIndex(), 11);

    // "无活载" clears the vehicles and writes nothing.
    Window::Choose(w.Frame().GraphSelector(), 8);
    QFile::remove(w.fx.Path("girder_活载.fem"));
    Window::Choose(liveLoads, 0);
    QVERIFY(v.m_liveLoadPlacements.empty());
    QVERIFY(!QFileInfo::exists(w.fx.Path("girder_活载.fem")));
    QVERIFY2(boxes.texts.isEmpty(), qPrintable(boxes.texts.join('\n')));
}

void LiveLoadWindowTest::InfluenceListingOpensInTheEditor() {
    Window w;
    QVERIFY(w.Open());
    QVERIFY(!w.Frame().Action(ID_INFLUENCE_OUTPUT)->isEnabled());
    Window::Choose(w.Frame().GraphSelector(), 8);
    w.Frame().Action(ID_NEXT)->trigger();
    QVERIFY(w.Frame().Action(ID_INFLUENCE_OUTPUT)->isEnabled());
    w.Frame().Action(ID_INFLUENCE_OUTPUT)->trigger();
    CGuiFixture::Settle();
    auto* text = qobject_cast<CMyeditDoc*>(w.Frame().ActiveChild()->Document());
    QVERIFY(text);
    QCOMPARE(QFileInfo(text->PathName()).fileName(), QStringLiteral("girder_影响线数据2.out"));
    QVERIFY(w.fx.ReadFile("girder_影响线数据2.out").startsWith("\n第2条影响线："));
}

void LiveLoadWindowTest::EnvelopeCommandFeedsTheEnvelopeGraph() {
    Window w;
    QVERIFY(w.Open());
    CModalRecorder boxes;
    w.Frame().Action(ID_MOMENT_ENVELOPE)->trigger();
    QCOMPARE(boxes.texts, QStringList{QStringLiteral("弯矩包络图计算完毕！")});
    // The progress texts end in the idle prompt.
    QCOMPARE(w.Frame().PaneText(0), QStringLiteral("就绪"));
    QVERIFY(QFileInfo::exists(QString::fromStdString(w.doc->Engine()->EnvelopeBinaryPath(1, 3))));

    Window::Choose(w.Frame().GraphSelector(), 5);
    QCOMPARE(w.widget->View().m_graphKind, 5);
    w.widget->repaint();
    CGuiFixture::Settle();
    QCOMPARE(w.Frame().PaneText(1), QStringLiteral("包络图"));
    QCOMPARE(boxes.texts.size(), 1);
    QVERIFY(w.Frame().m_currentScale != 1.0);  // fitted at the first drawing

    // The shear envelope was never computed: its message comes once, after the paint.
    Window::Choose(w.Frame().GraphSelector(), 6);
    w.widget->repaint();
    w.widget->repaint();
    CGuiFixture::Settle();
    QTest::qWait(200);
    QCOMPARE(boxes.texts.size(), 2);
    QVERIFY2(boxes.texts[1].startsWith(QStringLiteral("内力包络图数据文件:")),
             qPrintable(boxes.texts[1]));
    QVERIFY(boxes.texts[1].endsWith(QStringLiteral("不存在！")));
}

void LiveLoadWindowTest::TypeDialogListsTheElevenTypes() {
    CLiveLoadTypeDialog dialog(3);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Dialog"));
    QCOMPARE(dialog.list->count(), kLiveLoadTypes);
    for (int t = 0; t < kLiveLoadTypes; ++t)
        QCOMPARE(dialog.list->item(t)->text(), QString::fromUtf8(LiveLoadDialogName(t)));
    QCOMPARE(dialog.Type(), 3);
    dialog.list->clearSelection();
    QCOMPARE(dialog.Type(), -1);
    CLiveLoadTypeDialog outside(-1);
    QCOMPARE(outside.Type(), -1);
}

void LiveLoadWindowTest::TypeCommandStoresTheChosenType() {
    Window w;
    QVERIFY(w.Open());
    QCOMPARE(w.widget->View().m_envelopeType, 1);
    // The user picks "挂车—100级" (type 7) and confirms.
    int offered = -2;
    QTimer::singleShot(100, [&offered] {
        auto* dialog = dynamic_cast<CLiveLoadTypeDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        offered = dialog->Type();
        dialog->list->setCurrentRow(7);
        dialog->accept();
    });
    w.Frame().Action(ID_LIVE_LOAD_TYPE)->trigger();
    QCOMPARE(offered, 1);
    QCOMPARE(w.widget->View().m_envelopeType, 7);
    // Cancel keeps it.
    QTimer::singleShot(100, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    w.Frame().Action(ID_LIVE_LOAD_TYPE)->trigger();
    QCOMPARE(w.widget->View().m_envelopeType, 7);
}

QTEST_MAIN(LiveLoadWindowTest)
#include "LiveLoadWindowTest.moc"
