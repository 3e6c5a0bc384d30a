// Printing from the desktop program: a printer that cannot start gets a message and leaves
// printing usable; the printed page of a result window is the fitted picture with its title
// block.
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QTest>

#include "GuiTestSupport.h"
#include "app/Commands.h"
#include "app/MainFrame.h"
#include "app/MorvexApp.h"
#include "app/MorvexDoc.h"
#include "app/MyeditDoc.h"
#include "view/qt/MorvexViewWidget.h"
#include "view/qt/PageLayout.h"

class PrintingTest : public QObject {
    Q_OBJECT
private slots:
    void FailedPrintIsReportedAndPrintingStaysUsable();
    void PageCarriesTheTitleBlock();
};

namespace {

CMorvexViewWidget* OpenGirder(CGuiFixture& fx) {
    if (!fx.Start()) return nullptr;
    const QString path = fx.Path("girder.fem");
    if (!QFile::copy(ExamplePath(), path)) return nullptr;
    if (!fx.App().OpenDocumentFile(path)) return nullptr;
    CGuiFixture::Settle();
    return fx.Frame().ActiveResultView();
}

}  // namespace

void PrintingTest::FailedPrintIsReportedAndPrintingStaysUsable() {
    CGuiFixture fx;
    CMorvexViewWidget* view = OpenGirder(fx);
    QVERIFY(view);
    // No printer is installed here: the shared printer cannot start.
    QPrinter* printer = fx.App().Printer();
    QVERIFY(printer->printerName().isEmpty());
    {
        CModalRecorder boxes;
        QVERIFY(!view->PrintPage(*printer));
        QTest::qWait(50);
        QCOMPARE(boxes.texts, QStringList{QString::fromUtf8(kPrintFailedText)});
    }
    // The next print, to a file, is written.
    printer = fx.App().Printer();
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(fx.Path("after.pdf"));
    QCOMPARE(printer->outputFileName(), fx.Path("after.pdf"));
    fx.Frame().Action(ID_FILE_PRINT_DIRECT)->trigger();
    QVERIFY(QFileInfo(fx.Path("after.pdf")).size() > 1000);
    // The text editor prints through the same printer.
    CMyeditDoc* text = fx.App().OpenAsText(ExamplePath());
    QVERIFY(text);
    CGuiFixture::Settle();
    fx.App().Printer()->setOutputFileName(fx.Path("text.pdf"));
    fx.Frame().Action(ID_FILE_PRINT_DIRECT)->trigger();
    QVERIFY(fx.ReadFile("text.pdf").startsWith("%PDF"));
}

void PrintingTest::PageCarriesTheTitleBlock() {
    CGuiFixture fx;
    CMorvexViewWidget* view = OpenGirder(fx);
    QVERIFY(view);
    QVERIFY(view->View().Execute(ID_DISPLACED_SHAPE));
    QPdfWriter pdf(fx.Path("page.pdf"));
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setResolution(300);
    QPainter painter(&pdf);
    CPageInfo info;
    info.dataFile = fx.Path("girder.fem");
    info.date = QDate(2026, 12, 8);
    info.page = 2;
    info.pages = 3;
    const CTitleBlock block = DrawFittedPage(painter, pdf, view->View(), info);
    painter.end();
    QCOMPARE(block.dataFile, QStringLiteral("girder.fem"));
    QCOMPARE(block.graph, QStringLiteral("位移图  工况 1"));
    QCOMPARE(block.date, QStringLiteral("2026-12-08"));
    QCOMPARE(block.page, QStringLiteral("第 2 页 共 3 页"));
    QVERIFY(block.scale.startsWith(QStringLiteral("结构 1:")));
    QVERIFY(block.scale.contains(QStringLiteral(" m")));
    QVERIFY(fx.ReadFile("page.pdf").startsWith("%PDF"));
}

QTEST_MAIN(PrintingTest)
#include "PrintingTest.moc"
