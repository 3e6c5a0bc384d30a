#include "view/qt/PageLayout.h"

#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>
#include <cmath>

#include "view/PixelRuns.h"
#include "view/qt/QtSurface.h"

namespace {

// One labelled cell of the title block.
void Cell(QPainter& painter, const QRectF& box, const QString& label, const QString& text) {
    painter.drawRect(box);
    const QRectF inner = box.adjusted(box.height() * 0.15, 0, -box.height() * 0.15, 0);
    painter.drawText(inner, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                     label + QStringLiteral("：") + text);
}

}  // namespace

CTitleBlock DrawFittedPage(QPainter& painter, const QRectF& area, double dpi, CMorvexView& view,
                           const CPageInfo& info) {
    const double pxPerMm = dpi / 25.4;
    const double blockH = std::min(kTitleBlockMm * pxPerMm, area.height() * 0.4);
    const QRectF picture(area.left(), area.top(), area.width(),
                         area.height() - blockH - 2 * pxPerMm);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(picture.topLeft());
    painter.setClipRect(QRectF(QPointF(0, 0), picture.size()));
    {
        // On paper a device pixel is too small to see: the dotted diagrams become lines.
        CQtSurface surface(painter, 254.0 / dpi);
        CPixelRunSurface runs(surface);
        view.DrawFitted(runs, static_cast<int>(picture.width()), static_cast<int>(picture.height()),
                        254.0 / dpi);
    }
    painter.restore();

    CTitleBlock block;
    block.dataFile = QFileInfo(info.dataFile).fileName();
    block.graph = QString::fromStdString(view.PictureTitle());
    block.scale = QString::fromStdString(view.ScaleText());
    block.date = info.date.toString(QStringLiteral("yyyy-MM-dd"));
    block.page = QStringLiteral("第 %1 页 共 %2 页").arg(info.page).arg(info.pages);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(QPen(Qt::black, std::max(1.0, 0.25 * pxPerMm)));
    painter.setBrush(Qt::NoBrush);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(3.2 * pxPerMm))));
    font.setStyleStrategy(QFont::PreferNoShaping);  // the PDF's text keeps its digits
    painter.setFont(font);
    // Three rows: file and date, graph, scale and page; the block spans the page's width.
    const double top = area.bottom() - blockH, rowH = blockH / 3;
    const double w = area.width(), x = area.left();
    Cell(painter, QRectF(x, top, w * 0.65, rowH), QStringLiteral("数据文件"), block.dataFile);
    Cell(painter, QRectF(x + w * 0.65, top, w * 0.35, rowH), QStringLiteral("日期"), block.date);
    Cell(painter, QRectF(x, top + rowH, w, rowH), QStringLiteral("图形"), block.graph);
    Cell(painter, QRectF(x, top + 2 * rowH, w * 0.65, rowH), QStringLiteral("比例"), block.scale);
    painter.drawRect(QRectF(x + w * 0.65, top + 2 * rowH, w * 0.35, rowH));
    painter.drawText(QRectF(x + w * 0.65, top + 2 * rowH, w * 0.35, rowH),
                     Qt::AlignCenter | Qt::TextSingleLine, block.page);
    painter.restore();
    return block;
}

CTitleBlock DrawFittedPage(QPainter& painter, QPagedPaintDevice& device, CMorvexView& view,
                           const CPageInfo& info) {
    const int dpi = std::max(1, device.logicalDpiX());
    const QRectF area = device.pageLayout().paintRectPixels(dpi);
    // The painter's origin is the printable area's top-left corner.
    return DrawFittedPage(painter, QRectF(QPointF(0, 0), area.size()), dpi, view, info);
}

bool PrinterNeedsDialog(const QPrinter& printer) {
    return printer.printerName().isEmpty() &&
           (printer.outputFormat() == QPrinter::NativeFormat || printer.outputFileName().isEmpty());
}
