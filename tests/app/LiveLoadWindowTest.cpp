// Live loads in the result window: the live-load selector places vehicles and writes the
// placement file, the influence-line listing opens in the editor, the envelope commands
// write their files and the envelope graph draws them, the live-load type dialog.
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
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
    void TypeDialogTakesTheDesignLoadOptions();
    void CombinationCommandRunsWithProgressAndCancel();
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

void LiveLoadWindowTest::TypeDialogTakesTheDesignLoadOptions() {
    DesignLoadOptions given;
    given.lanes = 3;
    given.impact = DesignLoadOptions::kFrequency;
    given.impactValue = 4.5;
    CLiveLoadTypeDialog dialog(3, given);
    // The options belong to types 11 to 13 only.
    QVERIFY(!dialog.designBox->isEnabled());
    dialog.list->setCurrentRow(12);
    QVERIFY(dialog.designBox->isEnabled());
    QCOMPARE(dialog.lanesBox->value(), 3);
    QCOMPARE(dialog.impactBox->currentIndex(), 2);
    QCOMPARE(dialog.impactEdit->text(), QStringLiteral("4.5"));
    QVERIFY(dialog.spanEdit->text().isEmpty());  // L0 from the supports

    QStringList refusals;
    dialog.showMessage = [&refusals](const QString& text) { refusals << text; };
    dialog.spanEdit->setText(QStringLiteral("-3"));
    dialog.impactBox->setCurrentIndex(3);
    dialog.impactEdit->setText(QStringLiteral("0.25"));
    dialog.distributionEdit->setText(QStringLiteral("0.6"));
    QTimer::singleShot(0, [&dialog] {
        for (QPushButton* b : dialog.findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("确定")) b->click();  // refused: stays open
        dialog.spanEdit->setText(QStringLiteral("40"));
        for (QPushButton* b : dialog.findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("确定")) b->click();
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(refusals.size(), 1);
    QVERIFY(refusals[0].startsWith(QStringLiteral("计算跨径")));
    QCOMPARE(dialog.Type(), 12);
    QCOMPARE(dialog.Design().span, 40.0);
    QCOMPARE(int(dialog.Design().impact), int(DesignLoadOptions::kMu));
    QCOMPARE(dialog.Design().impactValue, 0.25);
    QCOMPARE(dialog.Design().lanes, 3);
    QCOMPARE(dialog.Design().distribution, 0.6);

    // A frequency field that holds no frequency is refused.
    DesignLoadOptions read;
    dialog.impactBox->setCurrentIndex(2);
    dialog.impactEdit->setText(QStringLiteral("mu=0.2"));
    QVERIFY(dialog.ReadDesign(read).startsWith(QStringLiteral("基频")));
    dialog.impactEdit->setText(QStringLiteral("0"));
    QVERIFY(!dialog.ReadDesign(read).isEmpty());
}

void LiveLoadWindowTest::CombinationCommandRunsWithProgressAndCancel() {
    Window w;
    QVERIFY(w.Open());
    QVERIFY(QFile::copy(
        QFileInfo(ExamplePath()).dir().filePath(QStringLiteral("three_span_girder_组合.txt")),
        w.fx.Path("girder_组合.txt")));
    QAction* run = w.Frame().Action(ID_COMBINATION);
    QVERIFY(run->isEnabled());
    CModalRecorder boxes;

    // Cancelled at the first progress step: no file, no completion message.
    bool seen = false;
    QTimer::singleShot(0, [&seen] {
        auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        if (!progress) return;
        seen = progress->windowTitle() == QStringLiteral("荷载组合");
        for (QPushButton* b : progress->findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("取消")) b->click();
    });
    run->trigger();
    CGuiFixture::Settle();
    QVERIFY(seen);
    QVERIFY2(boxes.texts.isEmpty(), qPrintable(boxes.texts.join('\n')));
    QVERIFY(!QFileInfo::exists(w.fx.Path("girder_组合_基本组合.bin")));
    QCOMPARE(w.Frame().PaneText(0), QStringLiteral("荷载组合计算已取消"));
    QVERIFY(w.widget->View().m_graphKind != 13);

    // Run through: every combination, then the graph shows the first.
    run->trigger();
    CGuiFixture::Settle();
    QCOMPARE(boxes.texts, QStringList{QStringLiteral("荷载组合计算完毕！")});
    for (const char* name : {"基本组合", "频遇组合", "准永久组合"})
        QVERIFY(QFileInfo::exists(
            w.fx.Path(QStringLiteral("girder_组合_%1.bin").arg(QString::fromUtf8(name)))));
    QCOMPARE(w.widget->View().m_graphKind, 13);
    QCOMPARE(w.Frame().GraphSelector()->currentIndex(), 13);
    w.widget->repaint();
    CGuiFixture::Settle();
    QCOMPARE(w.Frame().PaneText(1), QStringLiteral("组合包络图：基本组合 弯矩"));
    w.Frame().Action(ID_NEXT)->trigger();
    w.widget->repaint();
    CGuiFixture::Settle();
    QCOMPARE(w.Frame().PaneText(1), QStringLiteral("组合包络图：基本组合 剪力"));
    QCOMPARE(boxes.texts.size(), 1);
}

QTEST_MAIN(LiveLoadWindowTest)
#include "LiveLoadWindowTest.moc"
