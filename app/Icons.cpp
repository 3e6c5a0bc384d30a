#include "app/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

#include "app/Commands.h"

namespace {

using Painter = std::function<void(QPainter&)>;

const QColor kInk(40, 40, 40);
const QColor kPaper(255, 255, 255);
const QColor kBlue(30, 100, 255);
const QColor kRed(210, 40, 40);
const QColor kGreen(30, 150, 60);
const QColor kYellow(240, 200, 60);

// Paints on a 16 x 16 grid, scaled to the pixmap's size.
QIcon Draw(const Painter& paint) {
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 16.0, size / 16.0);
        paint(p);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

QPen Pen(const QColor& c, double w = 1.0) {
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A sheet of paper with a folded corner.
void Page(QPainter& p, const QColor& fill = kPaper) {
    QPainterPath path;
    path.moveTo(3.5, 1.5);
    path.lineTo(10.5, 1.5);
    path.lineTo(13.5, 4.5);
    path.lineTo(13.5, 14.5);
    path.lineTo(3.5, 14.5);
    path.closeSubpath();
    p.setPen(Pen(kInk));
    p.setBrush(fill);
    p.drawPath(path);
    p.drawPolyline(QPolygonF({QPointF(10.5, 1.5), QPointF(10.5, 4.5), QPointF(13.5, 4.5)}));
}

void TextLines(QPainter& p, const QColor& c, int count) {
    p.setPen(Pen(c));
    for (int i = 0; i < count; ++i)
        p.drawLine(QPointF(5.5, 6.5 + 2 * i), QPointF(11.5, 6.5 + 2 * i));
}

void Folder(QPainter& p) {
    p.setPen(Pen(kInk));
    p.setBrush(kYellow.darker(115));
    p.drawPolygon(QPolygonF({QPointF(1.5, 3.5), QPointF(6, 3.5), QPointF(7.5, 5), QPointF(13.5, 5),
                             QPointF(13.5, 13.5), QPointF(1.5, 13.5)}));
    p.setBrush(kYellow);
    p.drawPolygon(
        QPolygonF({QPointF(1.5, 13.5), QPointF(4, 7.5), QPointF(15.5, 7.5), QPointF(13.5, 13.5)}));
}

// A small beam on two supports, the program's subject.
void Girder(QPainter& p, double y, const QColor& c) {
    p.setPen(Pen(c, 1.6));
    p.drawLine(QPointF(2, y), QPointF(14, y));
    p.setPen(Pen(c, 1.0));
    p.setBrush(Qt::NoBrush);
    for (double x : {3.5, 12.5})
        p.drawPolygon(
            QPolygonF({QPointF(x, y + 0.8), QPointF(x - 1.6, y + 3.5), QPointF(x + 1.6, y + 3.5)}));
}

void Magnifier(QPainter& p, double cx, double cy, double r) {
    p.setPen(Pen(kInk, 1.4));
    p.setBrush(QColor(200, 230, 255));
    p.drawEllipse(QPointF(cx, cy), r, r);
    p.setPen(Pen(kInk, 2.2));
    const double d = r * 0.72;
    p.drawLine(QPointF(cx + d, cy + d), QPointF(cx + d + 4, cy + d + 4));
}

void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& c) {
    p.setPen(Pen(c, 1.5));
    p.drawLine(from, to);
    QLineF line(to, from);
    QLineF a = line, b = line;
    a.setLength(3);
    b.setLength(3);
    a.setAngle(line.angle() + 35);
    b.setAngle(line.angle() - 35);
    p.drawLine(a);
    p.drawLine(b);
}

void Painters(int id, Painter& out) {
    switch (id) {
        case ID_FILE_NEW:
            out = [](QPainter& p) {
                Page(p);
                p.setPen(Pen(kYellow.darker(130), 1.2));
                p.drawLine(QPointF(8.5, 7), QPointF(8.5, 12));
                p.drawLine(QPointF(6, 9.5), QPointF(11, 9.5));
            };
            break;
        case ID_FILE_OPEN:
            out = [](QPainter& p) { Folder(p); };
            break;
        case ID_OPEN_TEXT:
            out = [](QPainter& p) {
                Folder(p);
                p.setPen(Pen(kInk));
                p.setBrush(kPaper);
                p.drawRect(QRectF(6.5, 0.5, 7, 8));
                p.setPen(Pen(kBlue));
                for (double y : {2.5, 4.5, 6.5}) p.drawLine(QPointF(8, y), QPointF(12, y));
            };
            break;
        case ID_FILE_SAVE:
            out = [](QPainter& p) {
                p.setPen(Pen(kInk));
                p.setBrush(kBlue);
                p.drawPolygon(QPolygonF({QPointF(1.5, 1.5), QPointF(12.5, 1.5), QPointF(14.5, 3.5),
                                         QPointF(14.5, 14.5), QPointF(1.5, 14.5)}));
                p.setBrush(kPaper);
                p.drawRect(QRectF(4, 1.5, 8, 5));
                p.setBrush(QColor(220, 220, 220));
                p.drawRect(QRectF(4, 9, 8, 5.5));
            };
            break;
        case ID_EDIT_DATA:
            out = [](QPainter& p) {
                Page(p);
                TextLines(p, kBlue, 3);
                p.setPen(Pen(kRed, 2.0));
                p.drawLine(QPointF(7, 13), QPointF(14.5, 5.5));
                p.setPen(Pen(kInk, 1.0));
                p.drawLine(QPointF(6, 14), QPointF(7, 13));
            };
            break;
        case ID_VIEW_RESULT:
            out = [](QPainter& p) {
                Page(p);
                p.setPen(Pen(kRed, 1.3));
                p.setBrush(Qt::NoBrush);
                QPainterPath curve;
                curve.moveTo(5, 8);
                curve.cubicTo(7, 14, 10, 14, 12, 8);
                p.drawPath(curve);
                p.setPen(Pen(kInk));
                p.drawLine(QPointF(5, 8), QPointF(12, 8));
            };
            break;
        case ID_DISPLACEMENT_COLOUR:
            out = [](QPainter& p) {
                const QColor colours[] = {kRed, kGreen, kBlue, QColor(255, 0, 255)};
                for (int i = 0; i < 4; ++i) {
                    p.setPen(Pen(kInk, 0.8));
                    p.setBrush(colours[i]);
                    p.drawRect(QRectF(1.5 + (i % 2) * 7, 1.5 + (i / 2) * 7, 6, 6));
                }
            };
            break;
        case ID_MAGNIFY:
        case ID_REDUCE:
            out = [id](QPainter& p) {
                Girder(p, 5, kInk);
                p.setPen(Pen(QColor(255, 0, 255), 1.4));
                p.setBrush(Qt::NoBrush);
                QPainterPath curve;
                curve.moveTo(2, 5);
                curve.quadTo(8, id == ID_MAGNIFY ? 17 : 10, 14, 5);
                p.drawPath(curve);
                p.setPen(Pen(kInk, 1.6));
                p.drawLine(QPointF(10, 1.5), QPointF(15, 1.5));
                if (id == ID_MAGNIFY) p.drawLine(QPointF(12.5, -1), QPointF(12.5, 4));
            };
            break;
        case ID_PREVIOUS:
        case ID_NEXT:
            out = [id](QPainter& p) {
                p.setPen(Pen(kInk));
                p.setBrush(kGreen);
                const double s = id == ID_NEXT ? 1 : -1;
                p.drawPolygon(QPolygonF(
                    {QPointF(8 - 5 * s, 2.5), QPointF(8 + 5 * s, 8), QPointF(8 - 5 * s, 13.5)}));
            };
            break;
        case ID_FILE_PRINT_DIRECT:
            out = [](QPainter& p) {
                p.setPen(Pen(kInk));
                p.setBrush(kPaper);
                p.drawRect(QRectF(4.5, 1.5, 7, 5));
                p.setBrush(QColor(190, 190, 190));
                p.drawRoundedRect(QRectF(1.5, 6.5, 13, 5.5), 1, 1);
                p.setBrush(kPaper);
                p.drawRect(QRectF(4.5, 10.5, 7, 4));
                p.setPen(Pen(kGreen, 1.2));
                p.drawPoint(QPointF(12.5, 8.5));
            };
            break;
        case ID_PAN:
            out = [](QPainter& p) {
                const QPointF c(8, 8);
                Arrow(p, c, QPointF(8, 1.2), kInk);
                Arrow(p, c, QPointF(8, 14.8), kInk);
                Arrow(p, c, QPointF(1.2, 8), kInk);
                Arrow(p, c, QPointF(14.8, 8), kInk);
            };
            break;
        case ID_ZOOM:
            out = [](QPainter& p) {
                Magnifier(p, 6.5, 6.5, 4.5);
                p.setPen(Pen(kInk, 1.1));
                p.drawLine(QPointF(4.5, 6.5), QPointF(8.5, 6.5));
                p.drawLine(QPointF(6.5, 4.5), QPointF(6.5, 8.5));
            };
            break;
        case ID_WINDOW_ZOOM:
            out = [](QPainter& p) {
                p.setPen(QPen(kBlue, 1.0, Qt::DashLine));
                p.setBrush(Qt::NoBrush);
                p.drawRect(QRectF(0.5, 0.5, 10, 8));
                Magnifier(p, 9.5, 9.5, 3.2);
            };
            break;
        case ID_INITIAL_WINDOW:
            out = [](QPainter& p) {
                p.setPen(Pen(kInk));
                p.setBrush(kPaper);
                p.drawRect(QRectF(0.5, 0.5, 15, 15));
                Girder(p, 8, kBlue);
            };
            break;
        case ID_APP_ABOUT:
            out = [](QPainter& p) {
                p.setPen(Pen(kBlue.darker(120)));
                p.setBrush(kBlue);
                p.drawEllipse(QPointF(8, 8), 7, 7);
                QFont font;
                font.setPixelSize(11);
                font.setBold(true);
                p.setFont(font);
                p.setPen(kPaper);
                p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
            };
            break;
        default:
            break;
    }
}

}  // namespace

QIcon CommandIcon(int id) {
    Painter paint;
    Painters(id, paint);
    return paint ? Draw(paint) : QIcon();
}

QIcon ProgramIcon() {
    return Draw([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 100, 255));
        p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
        // A portal frame: two columns and a girder.
        p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.drawPolyline(
            QPolygonF({QPointF(3.5, 13), QPointF(3.5, 5), QPointF(12.5, 5), QPointF(12.5, 13)}));
        p.setPen(QPen(QColor(255, 0, 255), 1.2));
        QPainterPath curve;
        curve.moveTo(3.5, 5);
        curve.quadTo(8, 10, 12.5, 5);
        p.drawPath(curve);
        p.setPen(QPen(Qt::white, 1.2));
        p.drawLine(QPointF(1.5, 13.5), QPointF(5.5, 13.5));
        p.drawLine(QPointF(10.5, 13.5), QPointF(14.5, 13.5));
    });
}
