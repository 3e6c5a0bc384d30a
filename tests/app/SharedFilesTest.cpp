// Two result windows of one data file (opened again, say after an edit): closing one must
// leave the case files and B.stf that the other still draws from and analyses with.
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include "GuiTestSupport.h"
#include "app/ChildFrame.h"
#include "app/Commands.h"
#include "app/MainFrame.h"
#include "app/MorvexApp.h"
#include "app/MorvexDoc.h"
#include "engine/PlaneFrame.h"
#include "view/MorvexView.h"
#include "view/qt/MorvexViewWidget.h"

class SharedFilesTest : public QObject {
    Q_OBJECT
private slots:
    void ClosingOneWindowLeavesTheOthersFiles();
};

void SharedFilesTest::ClosingOneWindowLeavesTheOthersFiles() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    const QString path = fx.Path("girder.fem");
    QVERIFY(QFile::copy(ExamplePath(), path));
    QPointer<CMorvexDoc> first = qobject_cast<CMorvexDoc*>(fx.App().OpenDocumentFile(path));
    QVERIFY(first);
    CGuiFixture::Settle();
    auto* second = qobject_cast<CMorvexDoc*>(fx.App().OpenDocumentFile(path));
    QVERIFY(second && second != first);
    CGuiFixture::Settle();
    CMorvexViewWidget* widget = fx.Frame().ActiveResultView();
    QVERIFY(widget);
    CMorvexView& view = widget->View();
    QCOMPARE(view.m_pFrame, second->Engine());

    QVERIFY(first->Frames().first()->close());
    CGuiFixture::Settle();
    QVERIFY(!first);  // the first document and its engine are gone
    for (const char* name : {"girder.1", "girder.2", "girder.3", "girder.stf"})
        QVERIFY2(QFileInfo::exists(fx.Path(name)), name);

    // The second window's M, Q and N diagrams of every case are still drawn from the files.
    fx.Frame().MdiArea()->setActiveSubWindow(second->Frames().first());
    CGuiFixture::Settle();
    QComboBox* selector = fx.Frame().GraphSelector();
    for (int kind : {graph::kMoment, graph::kShear, graph::kAxial}) {
        for (int c = 0; c < second->Engine()->m_nCases; ++c) {
            view.m_caseIndex = c;
            selector->setCurrentIndex(kind);
            emit selector->activated(kind);
            widget->repaint();
            QCOMPARE(view.m_graphKind, kind);
            QCOMPARE(fx.Frame().PaneText(1), QStringLiteral("工况：%1").arg(c + 1));
            QVERIFY(view.m_extremeSeen);
            QVERIFY(view.m_maxValue > view.m_minValue);
        }
    }
    // The natural vibration reads the stiffness back from B.stf.
    CModalRecorder boxes;
    QSignalSpy ended(second, &CMorvexDoc::NaturalVibrationEnded);
    fx.Frame().Action(ID_NATURAL_VIBRATION)->trigger();
    QVERIFY(ended.count() == 1 || ended.wait(60000));
    QCOMPARE(ended.first().first().toBool(), true);
    QVERIFY(second->Engine()->m_nModes > 0);
    QVERIFY2(boxes.texts.isEmpty(), qPrintable(boxes.texts.join('\n')));

    // The last window of the file takes the scratch files with it.
    QVERIFY(second->Frames().first()->close());
    CGuiFixture::Settle();
    QVERIFY(!QFileInfo::exists(fx.Path("girder.1")));
    QVERIFY(!QFileInfo::exists(fx.Path("girder.stf")));
    QVERIFY(QFileInfo::exists(fx.Path("girder.out")));
}

QTEST_MAIN(SharedFilesTest)
#include "SharedFilesTest.moc"
