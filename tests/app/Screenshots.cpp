// Takes the README's screenshots: the main window with a result document and a text
// document open. Usage: morvex_screenshots EXAMPLE.fem OUTPUT_DIR
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QPixmap>
#include <QPrinter>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/MorvexApp.h"
#include "app/MorvexDoc.h"
#include "view/qt/MorvexViewWidget.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 3) {
        fprintf(stderr, "usage: morvex_screenshots EXAMPLE.fem OUTPUT_DIR\n");
        return 2;
    }
    const QString example = QString::fromLocal8Bit(argv[1]);
    const QString outDir = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    QTemporaryDir scratch;
    const QString fem = scratch.filePath(QStringLiteral("three_span_girder.fem"));
    if (!QFile::copy(example, fem)) return 1;
    QDir::setCurrent(scratch.path());
    // Leave the user's own settings (the recent-file list) alone.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scratch.path());

    CMorvexApp app;
    if (!app.InitInstance({})) return 1;
    CMainFrame* frame = app.MainFrame();
    frame->showNormal();
    frame->resize(1280, 800);

    auto* doc = qobject_cast<CMorvexDoc*>(app.OpenDocumentFile(fem));
    if (!doc) return 1;
    // The result window on the bending moments of the first load case.
    frame->GraphSelector()->setCurrentIndex(2);
    frame->OnGraphSelector(2);
    doc->OnViewResult();
    frame->MdiArea()->tileSubWindows();
    QTest::qWait(100);
    if (!frame->grab().save(outDir + QStringLiteral("/morvex-text-document.png"))) return 1;

    frame->MdiArea()->setActiveSubWindow(doc->Frames().first());
    QTest::qWait(100);
    if (!frame->grab().save(outDir + QStringLiteral("/morvex-result-document.png"))) return 1;

    // The printed page of the same picture, A4 landscape, as a PDF (rendered to PNG by the
    // script that calls this).
    auto* view = frame->ActiveResultView();
    if (!view) return 1;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setOutputFileName(outDir + QStringLiteral("/morvex-printed-page.pdf"));
    view->SetDataFile(fem);
    if (!view->PrintPage(printer)) return 1;
    return 0;
}
