// 文件 > 导出计算书 / 导出到Excel / 导出DXF of the result window: where they are, what they
// write from the window's own document and picture, the progress window and its "取消" on a
// large model, and the refusal while the vibration worker owns the engine.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "GuiTestSupport.h"
#include "ModelGenerator.h"
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
    void CancelledExportsOfALargeModelLeaveTheOldFile();
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

namespace {

// Presses "取消" (or Esc) in the export's progress window at the first progress step that
// reaches `percent`, from the progress bar's own signal, so the moment does not depend on
// timing. Returns the value it was pressed at (-1: never).
int ExportCancelledAt(CMainFrame& frame, int id, const QString& path, int percent, bool escape) {
    int pressedAt = -1;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        QProgressBar* bar = dialog ? dialog->findChild<QProgressBar*>() : nullptr;
        if (!bar) return;
        QObject::connect(bar, &QProgressBar::valueChanged, dialog,
                         [&pressedAt, dialog, percent, escape] {
                             if (pressedAt >= 0 || dialog->value() < percent) return;
                             pressedAt = dialog->value();
                             if (escape) QTest::keyClick(dialog, Qt::Key_Escape);
                             for (QPushButton* b : dialog->findChildren<QPushButton*>())
                                 if (!escape && b->text() == QStringLiteral("取消")) b->click();
                             // The window stays until the export has stopped.
                             QVERIFY(dialog->isVisible());
                         });
    });
    if (frame.ExportActiveResult(id, path)) return -2;
    return pressedAt;
}

}  // namespace

void ExportWindowTest::CancelledExportsOfALargeModelLeaveTheOldFile() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    // 2000 elements and two load cases: 44,000 rows of internal forces.
    fx.WriteFile("big.fem", QByteArray::fromStdString(GirderModel(200, 10, 2)));
    QVERIFY(fx.App().OpenDocumentFile(fx.Path("big.fem")));
    CGuiFixture::Settle();
    QComboBox* graphs = fx.Frame().GraphSelector();
    graphs->setCurrentIndex(2);
    emit graphs->activated(2);
    CModalRecorder boxes;
    const QStringList before = QDir(fx.Path(".")).entryList(QDir::Files, QDir::Name);
    for (auto [id, file] :
         {std::pair{ID_EXPORT_REPORT, "r.pdf"}, std::pair{ID_EXPORT_EXCEL, "r.xlsx"},
          std::pair{ID_EXPORT_DXF, "r.dxf"}}) {
        const QString name = QString::fromUtf8(file);
        fx.WriteFile(name, "old file\n");
        // Stopped at its first step, and at its last one (before the file replaces the old);
        // the DXF by Esc.
        for (int percent : {1, 100}) {
            const int at =
                ExportCancelledAt(fx.Frame(), id, fx.Path(name), percent, id == ID_EXPORT_DXF);
            QVERIFY2(at >= percent, qPrintable(QStringLiteral("%1 at %2%").arg(name).arg(at)));
            if (percent == 1) QVERIFY2(at < 50, qPrintable(QString::number(at)));
            QCOMPARE(fx.ReadFile(name), QByteArray("old file\n"));
            QCOMPARE(fx.Frame().PaneText(0), QStringLiteral("导出已取消"));
            CGuiFixture::Settle();
            QVERIFY(!QApplication::activeModalWidget());
        }
        // Nothing beside it: no scratch file.
        QCOMPARE(QDir(fx.Path(".")).entryList(QDir::Files, QDir::Name), QStringList(before)
                                                                            << name);
        QFile::remove(fx.Path(name));
        // Run through, it writes the whole file.
        QVERIFY(fx.Frame().ExportActiveResult(id, fx.Path(name)));
        const QByteArray bytes = fx.ReadFile(name);
        QFile::remove(fx.Path(name));
        if (id == ID_EXPORT_REPORT)
            QVERIFY(bytes.startsWith("%PDF") && bytes.trimmed().endsWith("%%EOF"));
        if (id == ID_EXPORT_EXCEL)
            QVERIFY(bytes.startsWith("PK") && bytes.right(22).startsWith("PK\x05\x06"));
        if (id == ID_EXPORT_DXF) QVERIFY(bytes.trimmed().endsWith("EOF"));
        QVERIFY(fx.Frame().PaneText(0).startsWith(QStringLiteral("已导出")));
    }
    QVERIFY2(boxes.texts.isEmpty(), qPrintable(boxes.texts.join('\n')));
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
