// Takes the README's screenshots: the main window with a result document and a text
// document open, the printed page, a frame of the animated mode shape, the value under the
// mouse, an envelope labelled in engineering units and the progress window of opening a
// large model. Usage:
// morvex_screenshots EXAMPLE.fem OUTPUT_DIR
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <cmath>

#include "GuiTestSupport.h"
#include "ModelGenerator.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/MorvexApp.h"
#include "app/MorvexDoc.h"
#include "engine/PlaneFrame.h"
#include "view/ViewCommands.h"
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

    // The rest show the result window alone, maximised.
    const QString images = outDir + QStringLiteral("/images");
    QDir().mkpath(images);
    for (QMdiSubWindow* w : frame->MdiArea()->subWindowList())
        if (w != doc->Frames().first()) w->close();
    doc->Frames().first()->showMaximized();
    QTest::qWait(100);
    CMorvexView& v = view->View();
    auto grabTo = [&](const QString& name) {
        QTest::qWait(100);
        return frame->grab().save(images + QLatin1Char('/') + name);
    };

    // The value under the mouse over the first span; the tooltip is its own window, so it
    // is painted onto the frame's picture where it stands.
    frame->OnGraphSelector(2);
    view->repaint();
    const CPlaneFrame& f = *doc->Engine();
    const Element& el = f.m_elements[2];
    const CLPoint at = v.WorldToLogical(f.m_nodes[el.iNode].x + 0.5 * el.length * el.cos,
                                        f.m_nodes[el.iNode].y + 0.5 * el.length * el.sin);
    const QPointF device(std::lround(at.x / v.m_logicalPerPixel),
                         std::lround(-at.y / v.m_logicalPerPixel));
    QMouseEvent move(QEvent::MouseMove, device, view->mapToGlobal(device), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view, &move);
    QTest::qWait(300);
    QPixmap picture = frame->grab();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("QTipLabel") && w->isVisible()) {
            QPainter painter(&picture);
            // Where a desktop shows it: just below and right of the mouse.
            painter.drawPixmap(view->mapTo(frame, device.toPoint()) + QPoint(4, 20), w->grab());
        }
    if (!picture.save(images + QStringLiteral("/probe-tooltip.png"))) return 1;
    QToolTip::hideText();

    // The bending-moment envelope of 挂车—120 labelled in kN·m, span by span.
    if (!doc->Engine()->ComputeEnvelope(8, 3)) return 1;
    v.m_envelopeType = 8;
    v.m_envelopeEnabled = true;
    view->RunCommand(ID_ENGINEERING_UNITS);
    frame->OnGraphSelector(graph::kMomentEnvelope);
    if (!grabTo(QStringLiteral("envelope-engineering-units.png"))) return 1;
    view->RunCommand(ID_ENGINEERING_UNITS);

    // A frame of the animated first mode, a quarter of the way into the swing back.
    QSignalSpy ended(doc, &CMorvexDoc::NaturalVibrationEnded);
    if (!doc->StartNaturalVibration() || !(ended.count() == 1 || ended.wait(60000))) return 1;
    frame->OnGraphSelector(graph::kMode);
    view->RunCommand(ID_ANIMATE);
    v.SetAnimationFrame(kModePhases / 12);
    frame->UpdateCommands();
    if (!grabTo(QStringLiteral("animated-mode.png"))) return 1;
    view->RunCommand(ID_ANIMATE);

    // The progress window while a 10^5-element girder opens: taken once the case files are
    // being written, then the run is stopped. The window is its own top-level widget, so it
    // is painted onto the frame's picture where it stands.
    QFile big(scratch.filePath(QStringLiteral("girder_100000.fem")));
    if (!big.open(QIODevice::WriteOnly) ||
        big.write(QByteArray::fromStdString(GirderModel(10000, 10, 5))) < 0)
        return 1;
    big.close();
    bool taken = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        if (taken || !dialog || !dialog->isVisible() || dialog->value() < 30) return;
        QPixmap shot = frame->grab();
        QPainter painter(&shot);
        painter.drawPixmap(frame->mapFromGlobal(dialog->mapToGlobal(QPoint(0, 0))),
                           dialog->grab());
        painter.end();
        taken = shot.save(images + QStringLiteral("/opening-progress.png"));
        dialog->cancel();
        for (QPushButton* button : dialog->findChildren<QPushButton*>()) button->click();
    });
    watch.start(20);
    CModalRecorder boxes;  // the message of the stopped run
    app.OpenDocumentFile(big.fileName());
    return taken ? 0 : 1;
}
