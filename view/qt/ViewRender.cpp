#include "view/qt/ViewRender.h"

#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <algorithm>
#include <cctype>
#include <cmath>

#include "platform/FileName.h"
#include "platform/ReplacingFile.h"
#include "view/qt/QtSurface.h"

namespace {

// The view's drawing, then its caption as the status bar under the window would show it.
void DrawPicture(CMorvexView& view, QPainter& painter, double k, int heightPx, bool caption) {
    CQtSurface surface(painter, k);
    view.Draw(surface);
    if (!caption || view.Caption().empty()) return;
    surface.SelectFont(CFontSpec{"宋体", 40, 400});
    surface.SetTextColour(Rgb(0, 0, 0));
    surface.TextOut(20, static_cast<int>(std::lround(-(heightPx * k) + 70)), view.Caption());
}

}  // namespace

bool RenderViewToFile(CMorvexView& view, int widthPx, int heightPx, double dpi,
                      const std::string& path, bool caption, std::string& error) {
    const double k = 254.0 / dpi;
    view.SetClientSize(widthPx, heightPx, k);
    const QString qpath = QString::fromStdString(path);
    // The picture replaces an older one only when it is complete.
    QSaveFile file(qpath);
    if (!MayReplace(path) || !file.open(QIODevice::WriteOnly)) {
        error = "cannot write " + path;
        return false;
    }
    if (EndsWithNoCase(path, ".svg")) {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(QSize(widthPx, heightPx));
        svg.setViewBox(QRect(0, 0, widthPx, heightPx));
        svg.setResolution(static_cast<int>(std::lround(dpi)));
        QPainter painter;
        if (!painter.begin(&svg)) {
            error = "cannot write " + path;
            return false;
        }
        painter.fillRect(QRect(0, 0, widthPx, heightPx), Qt::white);
        DrawPicture(view, painter, k, heightPx, caption);
        painter.end();
        if (!file.commit()) {
            error = "cannot write " + path;
            return false;
        }
        return true;
    }
    if (!EndsWithNoCase(path, ".png")) {
        error = "the output file must end in .png or .svg";
        return false;
    }
    QImage image(widthPx, heightPx, QImage::Format_RGB32);
    if (image.isNull()) {
        error = "错误：内存不够!";
        return false;
    }
    const int dotsPerMetre = static_cast<int>(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        DrawPicture(view, painter, k, heightPx, caption);
    }
    if (!image.save(&file, "PNG") || !file.commit()) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}
