// The printed page of a result view: the whole current picture fitted to the page with a
// title block. Printing, print preview and the calculation report all lay pages out here.
#pragma once

#include <QDate>
#include <QRectF>
#include <QString>

#include "view/MorvexView.h"

class QPainter;
class QPagedPaintDevice;
class QPrinter;

// True when a print without the dialog would go nowhere: no installed printer and no file.
bool PrinterNeedsDialog(const QPrinter& printer);

// What the title block says besides the picture's own graph, case and scale.
struct CPageInfo {
    QString dataFile;  // the data file's name (shown without its folder)
    QDate date = QDate::currentDate();
    int page = 1, pages = 1;
};

// The texts of the title block, in order: data file, graph, scale, date, page.
struct CTitleBlock {
    QString dataFile, graph, scale, date, page;
};

// The message of a print whose printer cannot start.
inline constexpr const char* kPrintFailedText =
    "打印失败：打印机无法开始打印。请检查打印机，或在打印对话框中选择打印到文件。";

// The height of the title block in millimetres.
constexpr double kTitleBlockMm = 24.0;

// Draws the view's whole current picture fitted into area (device pixels of the painter's
// device, dpi dots per inch), keeping the aspect ratio, with the title block along the
// bottom of area. Returns the title block's texts. The view's screen mapping is kept.
CTitleBlock DrawFittedPage(QPainter& painter, const QRectF& area, double dpi, CMorvexView& view,
                           const CPageInfo& info);

// The whole page of a paged device (printer, PDF writer) inside its margins: begins nothing,
// the painter must already be active on device.
CTitleBlock DrawFittedPage(QPainter& painter, QPagedPaintDevice& device, CMorvexView& view,
                           const CPageInfo& info);
