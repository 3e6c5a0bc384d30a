#include "app/GuiHost.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

#include "app/MainFrame.h"
#include "view/qt/MorvexViewWidget.h"

namespace {

bool OnGuiThread() {
    return QThread::currentThread() == qApp->thread();
}

}  // namespace

bool IsCompletionMessage(const QString& text) {
    // The core reports the end of a long computation through the same message call as its
    // failures; "...计算完毕！" and "动力响应分析完成！" are news, not warnings.
    return text.endsWith(QStringLiteral("计算完毕！")) ||
           text == QStringLiteral("动力响应分析完成！");
}

void ShowMessageBox(const QString& text, const QString& detail) {
    const QMessageBox::Icon icon =
        IsCompletionMessage(text) ? QMessageBox::Information : QMessageBox::Warning;
    QMessageBox box(icon, QStringLiteral("Morvex"), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    if (!detail.isEmpty()) box.setDetailedText(detail);
    box.exec();
}

// The natural-vibration worker reports from its own thread. Widgets live on the GUI thread,
// so its texts are queued there; the worker never waits for the box, since the GUI thread
// may itself be waiting for the worker (closing a document waits for m_busy).
void CGuiHost::Message(const std::string& text, const std::string& detail) {
    const QString t = QString::fromStdString(text);
    const QString d = QString::fromStdString(detail);
    // A box opened inside a paint would run its event loop in the middle of the painting.
    if (OnGuiThread() && !CMorvexViewWidget::Painting())
        ShowMessageBox(t, d);
    else
        QMetaObject::invokeMethod(
            qApp, [t, d] { ShowMessageBox(t, d); }, Qt::QueuedConnection);
}

void CGuiHost::Status(const std::string& text) {
    // An empty status ends a progress text: the pane shows the idle prompt again.
    const QString t = text.empty() ? QStringLiteral("就绪") : QString::fromStdString(text);
    const auto show = [sink = m_statusSink, t] {
        if (sink) sink(t);
    };
    if (OnGuiThread())
        show();
    else
        QMetaObject::invokeMethod(qApp, show, Qt::QueuedConnection);
}
