// Dynamics in the result window: the natural-vibration command on its worker and the mode
// graph, closing during a long eigen-solution, the dynamic response command, the response
// graph stepping through B.tim with the time in the status bar, and the extraction; the
// scale in the status bar, the value under the mouse, the dynamic load file of the model.
#include <cmath>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include "GuiTestSupport.h"
#include "app/ChildFrame.h"
#include "app/Commands.h"
#include "app/MainFrame.h"
#include "app/MorvexApp.h"
#include "app/MorvexDoc.h"
#include "app/MyeditDoc.h"
#include "engine/PlaneFrame.h"
#include "platform/Format.h"
#include "view/qt/ExtractResponseDialog.h"
#include "view/qt/MorvexViewWidget.h"

class DynamicsWindowTest : public QObject {
    Q_OBJECT
private slots:
    void VibrationCommandFillsTheModeGraph();
    void LongEigenSolutionShowsProgressAndStopsOnCancelOrClose();
    void ResponseIsComputedShownAndExtracted();
    void ResponseRunsBesideTheWindowAndCanBeCancelled();
    void ExtractionDialogRefusesANonInteger();
    void ScaleProbeAndTheLoadFileBesideTheDataFile();
};

namespace {

struct Window {
    CGuiFixture fx;
    CMorvexDoc* doc = nullptr;
    CMorvexViewWidget* widget = nullptr;

    bool Open(const QString& name = QStringLiteral("girder.fem")) {
        if (!fx.Start()) return false;
        if (!QFileInfo::exists(fx.Path(name)) && !QFile::copy(ExamplePath(), fx.Path(name)))
            return false;
        doc = qobject_cast<CMorvexDoc*>(fx.App().OpenDocumentFile(fx.Path(name)));
        CGuiFixture::Settle();
        widget = fx.Frame().ActiveResultView();
        return doc && widget;
    }
    CMainFrame& Frame() { return fx.Frame(); }
    void Choose(int index) {
        QComboBox* box = Frame().GraphSelector();
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    bool Enabled(int id) { return Frame().Action(id)->isEnabled(); }
};

// A simply supported steel beam of 100 m in n elements: 3 n equations to solve.
QByteArray LongBeam(int n) {
    std::string t = FormatString("%d %d 0 1 1 0 2 0\n", n + 1, n);
    for (int k = 0; k <= n; ++k) t += FormatString("%d %.6f 0 0 0\n", k + 1, 100.0 * k / n);
    t += "1 2e11 1e-5\n1 1 0.01 9800 0 0.5 0.5\n";
    for (int e = 1; e <= n; ++e) t += FormatString("%d %d %d 1 1 1 0\n", e, e, e + 1);
    t += FormatString("1 110 0 0 0\n%d 10 0 0 0\n", n + 1);
    return QByteArray::fromStdString(t);
}

}  // namespace

void DynamicsWindowTest::VibrationCommandFillsTheModeGraph() {
    Window w;
    QVERIFY(w.Open());
    CModalRecorder boxes;
    QVERIFY(w.Enabled(ID_NATURAL_VIBRATION));
    // No modes yet: the selector falls back to the structure.
    w.Choose(9);
    QCOMPARE(w.widget->View().m_graphKind, 0);

    QSignalSpy ended(w.doc, &CMorvexDoc::NaturalVibrationEnded);
    w.Frame().Action(ID_NATURAL_VIBRATION)->trigger();
    QVERIFY(ended.count() == 1 || ended.wait(20000));
    QCOMPARE(ended.first().first().toBool(), true);
    QVERIFY(w.doc->ModesReady());
    QVERIFY(!w.Enabled(ID_NATURAL_VIBRATION));
    QCOMPARE(w.Frame().PaneText(0), QStringLiteral("固有振动分析完毕"));

    w.Choose(9);
    QCOMPARE(w.widget->View().m_graphKind, 9);
    w.widget->repaint();
    const CPlaneFrame& f = *w.doc->Engine();
    QVERIFY(w.Frame().PaneText(1).startsWith(
        QString::fromStdString(FormatString("频率1：%.4e  ", f.m_omega[f.m_modeOrder[0]]))));
    QVERIFY(w.Frame().PaneText(1).contains(QStringLiteral(" Hz  T = ")));
    w.Frame().Action(ID_NEXT)->trigger();
    w.widget->repaint();
    QVERIFY(w.Frame().PaneText(1).startsWith(QStringLiteral("频率2：")));

    // Play moves the mode shape on by itself; the slider follows and also sets the phase.
    CMorvexView& v = w.widget->View();
    QVERIFY(w.Enabled(ID_ANIMATE));
    QSlider* slider = w.Frame().findChild<QSlider*>(QStringLiteral("stepSlider"));
    QVERIFY(slider && slider->isEnabled());
    QCOMPARE(slider->maximum(), kModePhases - 1);
    w.Frame().Action(ID_ANIMATE)->trigger();
    QVERIFY(v.m_animating);
    QTRY_VERIFY_WITH_TIMEOUT(v.m_modePhase >= 2, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(slider->value(), v.m_modePhase, 5000);
    w.Frame().Action(ID_ANIMATE)->trigger();
    QVERIFY(!v.m_animating);
    QCOMPARE(v.m_modePhase, 0);
    slider->setSliderPosition(6);
    emit slider->sliderMoved(6);
    QCOMPARE(v.m_modePhase, 6);
    // Another graph stands still and the slider has nothing to move.
    w.Choose(2);
    QVERIFY(!w.Enabled(ID_ANIMATE));
    QVERIFY(!slider->isEnabled());
    QVERIFY(boxes.texts.isEmpty());
}

void DynamicsWindowTest::LongEigenSolutionShowsProgressAndStopsOnCancelOrClose() {
    Window w;
    w.fx.WriteFile("long.fem", LongBeam(1000));
    QVERIFY(w.Open(QStringLiteral("long.fem")));
    CPlaneFrame* engine = w.doc->Engine();
    QSignalSpy ended(w.doc, &CMorvexDoc::NaturalVibrationEnded);
    auto solving = [&] {
        // The percentage of the eigen-solution comes in the status bar while it runs.
        return w.Frame().PaneText(0).startsWith(QStringLiteral("固有振动分析进行中...(")) &&
               w.Frame().PaneText(0).endsWith(QStringLiteral("%)"));
    };
    w.Frame().Action(ID_NATURAL_VIBRATION)->trigger();
    // Set by the command itself, before the worker's first step.
    QCOMPARE(int(engine->m_busy), 1);
    QVERIFY(!w.Enabled(ID_NATURAL_VIBRATION));
    QVERIFY(!w.Enabled(ID_DYNAMIC_RESPONSE));
    // The window stays usable meanwhile.
    w.Frame().Action(ID_NODE_NUMBERS)->trigger();
    QVERIFY(!w.widget->View().m_showNodeNumbers);
    QCOMPARE(w.Frame().Action(ID_NODE_NUMBERS)->text(), QStringLiteral("显示节点号"));
    QTRY_VERIFY_WITH_TIMEOUT(solving(), 30000);
    QCOMPARE(ended.count(), 0);  // 3000 equations: seconds of work are left

    // 取消 ends the solution after its present step.
    QVERIFY(w.Enabled(ID_CANCEL_RUN));
    w.Frame().Action(ID_CANCEL_RUN)->trigger();
    QVERIFY(ended.count() == 1 || ended.wait(30000));
    QCOMPARE(ended.first().at(0).toBool(), false);
    QCOMPARE(ended.first().at(1).toBool(), true);
    QCOMPARE(w.Frame().PaneText(0), QStringLiteral("固有振动分析已取消"));
    QVERIFY(!w.doc->ModesReady());
    QVERIFY(w.Enabled(ID_NATURAL_VIBRATION));

    // Closing the window during a solution returns at once and lets the document go.
    w.Frame().Action(ID_NATURAL_VIBRATION)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(solving(), 30000);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(w.doc->Frames().first()->close());
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!w.doc->Engine());
    QVERIFY(!w.doc->ModesReady());
    CGuiFixture::Settle();
}

void DynamicsWindowTest::ResponseIsComputedShownAndExtracted() {
    Window w;
    QVERIFY(w.Open());
    QVERIFY(QFile::copy(QStringLiteral(MORVEX_SOURCE_DIR "/examples/dynamic_load.txt"),
                        w.fx.Path("dynamic_load.txt")));
    QVERIFY(!w.Enabled(ID_DYNAMIC_DATA));
    QVERIFY(w.Enabled(ID_DYNAMIC_RESPONSE));
    {
        CModalRecorder boxes;
        QSignalSpy ended(w.doc, &CMorvexDoc::DynamicResponseEnded);
        w.Frame().Action(ID_DYNAMIC_RESPONSE)->trigger();
        QVERIFY(ended.count() == 1 || ended.wait(60000));
        QTest::qWait(50);
        QCOMPARE(boxes.texts, QStringList{QStringLiteral("动力响应分析完成！")});
    }
    QVERIFY(QFileInfo::exists(w.fx.Path("girder.tim")));
    QCOMPARE(w.Frame().PaneText(0), QStringLiteral("就绪"));
    QVERIFY(w.Enabled(ID_DYNAMIC_DATA));

    // The response graph steps through the records with the time in pane 1.
    w.Choose(12);
    CMorvexView& v = w.widget->View();
    QCOMPARE(v.m_graphKind, 12);
    QCOMPARE(v.m_nTimeSteps, 601);  // 6 s in steps of 0.01 s, with the start
    w.widget->repaint();
    QCOMPARE(w.Frame().PaneText(1), QStringLiteral("时间：0.0000e+000"));
    QVERIFY(!w.Enabled(ID_PREVIOUS));
    w.Frame().Action(ID_NEXT)->trigger();
    w.Frame().Action(ID_NEXT)->trigger();
    w.widget->repaint();
    QCOMPARE(w.Frame().PaneText(1), QStringLiteral("时间：2.0000e-002"));
    QVERIFY(w.Enabled(ID_PREVIOUS));

    // Extraction of node 11, vertical: the dialog is answered as a user would.
    QTimer::singleShot(100, [] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        auto* extract = dynamic_cast<CExtractResponseDialog*>(dialog);
        if (!extract) return;
        extract->nodeEdit->setText(QStringLiteral("11"));
        extract->directionList->setCurrentRow(1);
        extract->TryAccept();
    });
    w.Frame().Action(ID_DYNAMIC_DATA)->trigger();
    CGuiFixture::Settle();
    auto* text = qobject_cast<CMyeditDoc*>(w.Frame().ActiveChild()->Document());
    QVERIFY(text);
    QCOMPARE(QFileInfo(text->PathName()).fileName(),
             QStringLiteral("girder_节点11自由度2_动力响应.txt"));
    const QByteArray history = w.fx.ReadFile("girder_节点11自由度2_动力响应.txt");
    QCOMPARE(history.count('\n'), 601);
    QVERIFY(history.startsWith("   0.000000e+000 "));
}

void DynamicsWindowTest::ResponseRunsBesideTheWindowAndCanBeCancelled() {
    Window w;
    w.fx.WriteFile("long.fem", LongBeam(60));
    // 100 s in steps of 1 ms at midspan: far longer than the test waits.
    w.fx.WriteFile("dynamic_load.txt", "0 0\n100 0.001\n0 1 0\n31 2 -1e4 0 0 0 0\n0\n");
    QVERIFY(w.Open(QStringLiteral("long.fem")));
    CPlaneFrame* engine = w.doc->Engine();
    QVERIFY(!w.Enabled(ID_CANCEL_RUN));
    CModalRecorder boxes;
    QSignalSpy ended(w.doc, &CMorvexDoc::DynamicResponseEnded);
    w.Frame().Action(ID_DYNAMIC_RESPONSE)->trigger();
    // The command returns at once; the run goes on while the window takes commands.
    QCOMPARE(int(engine->m_busy), 1);
    QVERIFY(w.Enabled(ID_CANCEL_RUN));
    QVERIFY(!w.Enabled(ID_DYNAMIC_RESPONSE));
    w.Frame().Action(ID_NODE_NUMBERS)->trigger();
    QVERIFY(!w.widget->View().m_showNodeNumbers);
    QTest::qWait(300);
    QCOMPARE(ended.count(), 0);
    w.Frame().Action(ID_CANCEL_RUN)->trigger();
    QVERIFY(ended.count() == 1 || ended.wait(30000));
    QCOMPARE(ended.first().at(0).toBool(), false);
    QCOMPARE(ended.first().at(1).toBool(), true);
    QTest::qWait(50);
    QCOMPARE(boxes.texts.size(), 1);
    QVERIFY(boxes.texts[0].startsWith(QStringLiteral("动力响应分析已取消")));
    QVERIFY(!QFileInfo::exists(w.fx.Path("long.tim")));
    QVERIFY(!w.Enabled(ID_CANCEL_RUN));
    QVERIFY(w.Enabled(ID_DYNAMIC_RESPONSE));

    // Closing the window during a run stops it and lets the document go.
    w.Frame().Action(ID_DYNAMIC_RESPONSE)->trigger();
    QCOMPARE(int(engine->m_busy), 1);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(w.doc->Frames().first()->close());
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!w.doc->Engine());
    CGuiFixture::Settle();
    QTest::qWait(50);
    QVERIFY(!QFileInfo::exists(w.fx.Path("long.tim")));
    // The user closed it: no message about a run that did not complete.
    QCOMPARE(boxes.texts.size(), 1);
}

void DynamicsWindowTest::ExtractionDialogRefusesANonInteger() {
    CExtractResponseDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral(" 提取变量动力响应数据"));
    QCOMPARE(dialog.directionList->count(), 3);
    QCOMPARE(dialog.directionList->currentRow(), 0);
    QStringList refused;
    dialog.showMessage = [&refused](const QString& text) { refused << text; };
    dialog.nodeEdit->setText(QStringLiteral("2.5"));
    dialog.TryAccept();
    QCOMPARE(refused, QStringList{QStringLiteral("请键入一个整数。")});
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    dialog.nodeEdit->setText(QStringLiteral(" 7 "));
    dialog.directionList->setCurrentRow(2);
    dialog.TryAccept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.m_node, 7);
    QCOMPARE(dialog.m_direction, 2);
}

void DynamicsWindowTest::ScaleProbeAndTheLoadFileBesideTheDataFile() {
    Window w;
    QVERIFY(QDir(w.fx.Path(QString())).mkdir(QStringLiteral("sub")));
    QVERIFY(QFile::copy(ExamplePath(), w.fx.Path(QStringLiteral("sub/girder.fem"))));
    QVERIFY(w.Open(QStringLiteral("sub/girder.fem")));
    CMorvexView& v = w.widget->View();

    // The scale of the diagram stands in the status bar and follows the graph.
    QLabel* scale = w.Frame().findChild<QLabel*>(QStringLiteral("scalePane"));
    QVERIFY(scale);
    w.Choose(2);
    w.widget->repaint();
    const double moment = v.m_graphScale[2].factor;
    QCOMPARE(scale->text(), QString::fromStdString(FormatString("比例: %.3e", moment)));
    w.Choose(1);
    w.widget->repaint();
    QCOMPARE(scale->text(),
             QString::fromStdString(FormatString("比例: %.3e", v.m_graphScale[1].factor)));
    QVERIFY(scale->text() != QString::fromStdString(FormatString("比例: %.3e", moment)));

    // Hovering over the deck reads the moment there into the prompt pane and a tooltip.
    w.Choose(2);
    w.widget->repaint();
    const CPlaneFrame& f = *w.doc->Engine();
    const Element& el = f.m_elements[0];
    const CLPoint at = v.WorldToLogical(f.m_nodes[el.iNode].x + 0.5 * el.length * el.cos,
                                        f.m_nodes[el.iNode].y + 0.5 * el.length * el.sin);
    const double perPixel = v.m_logicalPerPixel;
    const QPoint device(int(std::lround(at.x / perPixel)), int(std::lround(-at.y / perPixel)));
    QMouseEvent move(QEvent::MouseMove, QPointF(device), w.widget->mapToGlobal(QPointF(device)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w.widget, &move);
    QVERIFY2(w.Frame().PaneText(0).startsWith(QStringLiteral("单元1  x=")),
             qPrintable(w.Frame().PaneText(0)));
    QVERIFY(w.Frame().PaneText(0).contains(QStringLiteral("M=")));
    QCOMPARE(QToolTip::text(), w.Frame().PaneText(0));

    // No dynamic load file anywhere: the edit command offers one beside the data file.
    {
        CModalRecorder yes(QMessageBox::Yes);
        w.Frame().Action(ID_DYNAMIC_LOAD_EDIT)->trigger();
        CGuiFixture::Settle();
        QCOMPARE(yes.texts.size(), 1);
        QVERIFY(yes.texts[0].contains(QStringLiteral("dynamic_load.txt")));
    }
    QVERIFY(QFileInfo::exists(w.fx.Path(QStringLiteral("sub/dynamic_load.txt"))));
    QVERIFY(!QFileInfo::exists(w.fx.Path(QStringLiteral("dynamic_load.txt"))));
    QVERIFY(w.Frame().MdiArea()->activeSubWindow()->windowTitle().contains(
        QStringLiteral("dynamic_load.txt")));
    // The one beside the data file is what a run reads, even with one in the working folder.
    w.fx.WriteFile(QStringLiteral("dynamic_load.txt"), "0 0\n");
    QCOMPARE(QFileInfo(w.doc->DynamicLoadPath()).absoluteFilePath(),
             QFileInfo(w.fx.Path(QStringLiteral("sub/dynamic_load.txt"))).absoluteFilePath());
}

QTEST_MAIN(DynamicsWindowTest)
#include "DynamicsWindowTest.moc"
