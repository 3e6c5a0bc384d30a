// 文件 > 导出计算书 / 导出到Excel / 导出DXF of the result window: where they are, what they
// write from the window's own document and picture, and the refusal while the vibration
// worker owns the engine.
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "GuiTestSupport.h"
#include "app/Commands.h"
#include "app/MainFrame.h"
#include "app/MorvexApp.h"
#include "app/MorvexDoc.h"
#include "engine/PlaneFrame.h"
#include "export/DxfSurface.h"
#include "view/qt/MorvexViewWidget.h"

class ExportWindowTest : public QObject {
    Q_OBJECT
private slots:
    void ExportsAreInTheFileMenuOfAResultDocument();
    void EachExportWritesItsFile();
    void NoExportWhileTheVibrationRuns();

private:
    CMorvexDoc* OpenGirder(CGuiFixture& fx) {
        if (!fx.Start()) return nullptr;
        const QString path = fx.Path("girder.fem");
        if (!QFile::copy(ExamplePath(), path)) return nullptr;
        auto* doc = qobject_cast<CMorvexDoc*>(fx.App().OpenDocumentFile(path));
        CGuiFixture::Settle();
        return doc;
    }
};

void ExportWindowTest::ExportsAreInTheFileMenuOfAResultDocument() {
    CGuiFixture fx;
    QVERIFY(OpenGirder(fx));
    QCOMPARE(fx.Frame().CurrentMenu(), int(CMainFrame::kMenuResult));
    QMenu* file = fx.Frame().menuBar()->actions().first()->menu();
    QVERIFY(file);
    QStringList texts;
    for (QAction* a : file->actions()) texts << a->text();
    for (const char* t : {"导出计算书...", "导出到Excel...", "导出DXF..."})
        QVERIFY2(texts.contains(QString::fromUtf8(t)), qPrintable(texts.join('|')));
    for (int id : {ID_EXPORT_REPORT, ID_EXPORT_EXCEL, ID_EXPORT_DXF})
        QVERIFY(fx.Frame().Action(id)->isEnabled());
}

void ExportWindowTest::EachExportWritesItsFile() {
    CGuiFixture fx;
    QVERIFY(OpenGirder(fx));
    CModalRecorder boxes;
    QVERIFY(fx.Frame().ExportActiveResult(ID_EXPORT_REPORT, fx.Path("r.pdf")));
    QVERIFY(fx.ReadFile("r.pdf").startsWith("%PDF"));
    QVERIFY(fx.Frame().ExportActiveResult(ID_EXPORT_EXCEL, fx.Path("r.xlsx")));
    QVERIFY(fx.ReadFile("r.xlsx").startsWith("PK"));
    // The DXF is the picture on screen: the moment diagram once it is chosen.
    QComboBox* graphs = fx.Frame().GraphSelector();
    graphs->setCurrentIndex(2);
    emit graphs->activated(2);
    QVERIFY(fx.Frame().ExportActiveResult(ID_EXPORT_DXF, fx.Path("m.dxf")));
    const QByteArray dxf = fx.ReadFile("m.dxf");
    QVERIFY(dxf.contains(QByteArray::fromStdString(DxfText("图形"))));
    QVERIFY(dxf.contains(QByteArray::fromStdString(DxfText("工况：1"))));
    QVERIFY(boxes.texts.isEmpty());
    QVERIFY(fx.Frame().PaneText(0).startsWith(QStringLiteral("已导出")));
}

void ExportWindowTest::NoExportWhileTheVibrationRuns() {
    CGuiFixture fx;
    CMorvexDoc* doc = OpenGirder(fx);
    QVERIFY(doc);
    CModalRecorder boxes;
    doc->Engine()->m_busy = 1;
    QVERIFY(!fx.Frame().ExportActiveResult(ID_EXPORT_EXCEL, fx.Path("r.xlsx")));
    doc->Engine()->m_busy = 0;
    QVERIFY(!QFile::exists(fx.Path("r.xlsx")));
    QCOMPARE(boxes.texts.size(), 1);
    QVERIFY(boxes.texts[0].contains(QStringLiteral("固有振动分析进行中")));
}

QTEST_MAIN(ExportWindowTest)
#include "ExportWindowTest.moc"
