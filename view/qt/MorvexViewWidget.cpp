#include "view/qt/MorvexViewWidget.h"

#include <QColorDialog>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QToolTip>
#include <cstdlib>
#include <memory>

#include "platform/Host.h"
#include "view/ViewCommands.h"
#include "view/qt/ElementGroupDialog.h"
#include "view/qt/ExtractResponseDialog.h"
#include "view/qt/LiveLoadTypeDialog.h"
#include "view/qt/PageLayout.h"
#include "view/qt/QtSurface.h"

int CMorvexViewWidget::s_painting = 0;

CMorvexViewWidget::CMorvexViewWidget(CViewFrame& frame, QWidget* parent)
    : QWidget(parent), m_view(frame, *this) {
    InstallViewFonts();
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // About 12 pictures a second: smooth enough, and light on a large model.
    m_animationClock.setInterval(80);
    connect(&m_animationClock, &QTimer::timeout, this, &CMorvexViewWidget::OnAnimationTick);
}

void CMorvexViewWidget::FollowAnimation() {
    if (m_view.m_animating && !m_animationClock.isActive())
        m_animationClock.start();
    else if (!m_view.m_animating && m_animationClock.isActive())
        m_animationClock.stop();
}

void CMorvexViewWidget::OnAnimationTick() {
    if (!m_view.m_animating || !m_view.AnimationStep()) {
        m_view.m_animating = false;
        m_animationClock.stop();
    }
    Notify();
}

double CMorvexViewWidget::LogicalPerPixel() const {
    // The metric mapping of a window uses its logical inch, as the platform's does.
    return 254.0 / std::max(1, logicalDpiX());
}

void CMorvexViewWidget::RunCommand(int id) {
    const bool printing =
        id == ID_FILE_PRINT || id == ID_FILE_PRINT_DIRECT || id == ID_FILE_PRINT_PREVIEW;
    if (!printing) {
        m_view.Execute(id);
        Notify();
        return;
    }
    // A printer is made only for printing: setting one up asks the print system.
    QPrinter* shared = m_printerSource ? m_printerSource() : nullptr;
    std::unique_ptr<QPrinter> own;
    if (!shared) own = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrinter& printer = shared ? *shared : *own;
    if (id == ID_FILE_PRINT_PREVIEW) {
        QPrintPreviewDialog preview(&printer, this);
        connect(&preview, &QPrintPreviewDialog::paintRequested, this,
                [this](QPrinter* p) { PrintPage(*p); });
        preview.exec();
    } else {
        // Without an installed printer a direct print would go nowhere; the dialog offers
        // a file instead.
        const bool noPrinter = PrinterNeedsDialog(printer);
        bool go = true;
        bool selection = false;
        if (id == ID_FILE_PRINT || noPrinter) {
            QPrintDialog dialog(&printer, this);
            // A zoomed window can be printed as it is shown.
            if (m_view.m_userWindow) dialog.setOption(QAbstractPrintDialog::PrintSelection);
            printer.setPrintRange(QPrinter::AllPages);
            go = dialog.exec() == QDialog::Accepted;
            selection = printer.printRange() == QPrinter::Selection;
        }
        if (go) PrintPage(printer, selection);
    }
    Notify();
}

void CMorvexViewWidget::Notify() {
    FollowAnimation();
    if (m_observer) m_observer();
}

bool CMorvexViewWidget::PrintPage(QPrinter& printer, bool selection) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        ShowMessage(kPrintFailedText);
        return false;
    }
    if (selection) {
        CQtSurface surface(painter, 254.0 / std::max(1, printer.resolution()));
        m_view.Print(surface);
        return true;
    }
    CPageInfo info;
    info.dataFile = m_dataFile;
    DrawFittedPage(painter, printer, m_view, info);
    return true;
}

QMenu* CMorvexViewWidget::CreateContextMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    for (const CMenuEntry& entry : m_view.ContextMenu()) {
        if (entry.id == 0) {
            menu->addSeparator();
            continue;
        }
        const CCommandState st = m_view.CommandState(entry.id);
        QAction* action = menu->addAction(QString::fromStdString(entry.text));
        action->setData(entry.id);
        action->setEnabled(st.enabled);
        action->setCheckable(st.checked);
        action->setChecked(st.checked);
        const int id = entry.id;
        connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    }
    return menu;
}

void CMorvexViewWidget::Redraw() {
    m_rubber.clear();
    update();
}

void CMorvexViewWidget::SetCursor(ViewCursor cursor) {
    switch (cursor) {
        case ViewCursor::Pan:
            setCursor(Qt::OpenHandCursor);
            break;
        case ViewCursor::Zoom:
            setCursor(Qt::SizeVerCursor);
            break;
        default:
            setCursor(Qt::ArrowCursor);
            break;
    }
}

void CMorvexViewWidget::CaptureMouse(bool capture) {
    if (capture)
        grabMouse();
    else
        releaseMouse();
}

void CMorvexViewWidget::InvertRectangle(CLPoint a, CLPoint b) {
    const auto same = [&](const std::pair<CLPoint, CLPoint>& r) {
        return r.first == a && r.second == b;
    };
    const auto it = std::find_if(m_rubber.begin(), m_rubber.end(), same);
    if (it != m_rubber.end())
        m_rubber.erase(it);
    else
        m_rubber.emplace_back(a, b);
    update();
}

bool CMorvexViewWidget::ChooseColour(CColour initial, CColour& chosen) {
    const QColor c = QColorDialog::getColor(QColor(initial.r, initial.g, initial.b), this,
                                            QString::fromUtf8("颜色"));
    if (!c.isValid()) return false;
    chosen = Rgb(c.red(), c.green(), c.blue());
    return true;
}

bool CMorvexViewWidget::EditElementGroup(int nElements, CElementGroup& fields) {
    CElementGroupDialog dialog(nElements, fields, this);
    if (dialog.exec() != QDialog::Accepted) return false;
    fields = dialog.Fields();
    return true;
}

bool CMorvexViewWidget::ChooseLiveLoadType(int& type, DesignLoadOptions& design) {
    CLiveLoadTypeDialog dialog(type, design, this);
    if (dialog.exec() != QDialog::Accepted) return false;
    type = dialog.Type();
    design = dialog.Design();
    return true;
}

namespace {

// While a long computation runs: passes everything on to the window's host and moves the
// progress window with the percentage of each status text, letting its cancel button be
// pressed (the computation runs on this thread and reports from it). Once a stop was asked
// for, the window keeps saying so.
class CProgressHost : public CHost {
public:
    CProgressHost(CHost& next, QProgressDialog& dialog,
                  const std::atomic<std::uint8_t>& keepRunning)
        : m_next(next), m_dialog(dialog), m_keepRunning(keepRunning) {}
    void Message(const std::string& text, const std::string& detail) override {
        m_next.Message(text, detail);
    }
    void Status(const std::string& text) override {
        m_next.Status(text);
        if (m_keepRunning == 0) {
            QCoreApplication::processEvents();
            return;
        }
        const size_t open = text.rfind('('), close = text.rfind("%)");
        if (open != std::string::npos && close != std::string::npos && close > open)
            m_dialog.setValue(std::atoi(text.c_str() + open + 1));
        if (!text.empty()) m_dialog.setLabelText(QString::fromStdString(text));
        QCoreApplication::processEvents();
    }

private:
    CHost& m_next;
    QProgressDialog& m_dialog;
    const std::atomic<std::uint8_t>& m_keepRunning;
};

}  // namespace

void SetUpProgressDialog(QProgressDialog& dialog, const QString& title) {
    dialog.setWindowTitle(title);
    dialog.setLabelText(title);
    dialog.setCancelButtonText(QStringLiteral("取消"));
    dialog.setRange(0, 100);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setMinimumDuration(0);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
}

bool CMorvexViewWidget::RunWithProgress(const std::string& title,
                                        std::atomic<std::uint8_t>& keepRunning,
                                        const std::function<bool()>& work) {
    QProgressDialog dialog(this);
    SetUpProgressDialog(dialog, QString::fromStdString(title));
    keepRunning = 1;
    // "取消" (or Esc) asks the work to stop; the window stays, its button disabled, until
    // the work has ended (an export may be inside a library call that cannot stop), so that
    // nothing else can start meanwhile.
    QObject::disconnect(&dialog, SIGNAL(canceled()), &dialog, SLOT(cancel()));
    const auto stop = [&dialog, &keepRunning] {
        keepRunning = 0;
        dialog.setLabelText(QStringLiteral("正在取消..."));
        for (QPushButton* button : dialog.findChildren<QPushButton*>()) button->setEnabled(false);
        dialog.show();
    };
    connect(&dialog, &QProgressDialog::canceled, &dialog, stop);
    dialog.show();
    CHost& previous = Host();
    CProgressHost host(previous, dialog, keepRunning);
    SetHost(&host);
    const bool ok = work();
    SetHost(&previous);
    const bool stopped = keepRunning == 0;
    // The flag is the engine's: later work must not find it cleared.
    keepRunning = 1;
    dialog.hide();
    return ok && !stopped;
}

bool CMorvexViewWidget::ChooseResponseComponent(int& node, int& direction) {
    CExtractResponseDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted) return false;
    node = dialog.m_node;
    direction = dialog.m_direction;
    return true;
}

void CMorvexViewWidget::ShowProbe(CLPoint device, const std::string& text) {
    if (text.empty())
        QToolTip::hideText();
    else
        QToolTip::showText(mapToGlobal(QPoint(device.x, device.y)), QString::fromStdString(text),
                           this);
}

void CMorvexViewWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    CQtSurface surface(painter, LogicalPerPixel());
    ++s_painting;
    m_view.Draw(surface);
    --s_painting;
    if (m_rubber.empty()) return;
    // The rubber rectangle lives in device pixels: a surface of one unit per pixel (y still
    // upward) draws it exactly where the mouse was.
    painter.setRenderHint(QPainter::Antialiasing, false);  // an exact XOR rectangle
    CQtSurface pixels(painter, 1.0);
    pixels.SelectPen(CPen{Rgb(0, 0, 0), 1, true});
    for (const auto& [a, b] : m_rubber)
        pixels.Polyline({{a.x, -a.y}, {b.x, -a.y}, {b.x, -b.y}, {a.x, -b.y}, {a.x, -a.y}});
}

void CMorvexViewWidget::resizeEvent(QResizeEvent*) {
    m_view.SetClientSize(width(), height(), LogicalPerPixel());
}

void CMorvexViewWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    m_view.OnMouseMove({p.x(), p.y()}, event->buttons() == Qt::LeftButton);
}

void CMorvexViewWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint p = event->position().toPoint();
    m_view.OnLeftButtonDown({p.x(), p.y()});
}

void CMorvexViewWidget::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = CreateContextMenu(this);
    menu->exec(event->globalPos());
    delete menu;
}

void CMorvexViewWidget::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    m_view.OnSetFocus();
    Notify();
}
