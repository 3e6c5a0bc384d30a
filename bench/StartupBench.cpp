// Time from the start of the desktop program to the first painted result window:
// morvex-startup-bench MODEL.fem. It starts exactly as morvex does (the same application
// object, the file as its argument) and stops at the end of the result view's first paint.
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/MorvexApp.h"
#include "view/qt/MorvexViewWidget.h"

namespace {

// Sees the first paint event of a result view; the report is queued, so it runs after the
// paint has finished.
class CFirstPaint : public QObject {
public:
    explicit CFirstPaint(const QElapsedTimer& clock) : m_clock(clock) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!m_seen && event->type() == QEvent::Paint &&
            dynamic_cast<CMorvexViewWidget*>(watched)) {
            m_seen = true;
            QTimer::singleShot(0, [this] {
                std::printf("first painted result window after %lld ms\n",
                            static_cast<long long>(m_clock.elapsed()));
                std::fflush(stdout);
                std::_Exit(0);  // the figure is taken; no need to wait for the teardown
            });
        }
        return false;
    }

private:
    const QElapsedTimer& m_clock;
    bool m_seen = false;
};

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    if (argc != 2) {
        std::fputs("usage: morvex-startup-bench MODEL.fem\n", stderr);
        return 2;
    }
    QApplication application(argc, argv);
    CFirstPaint watch(clock);
    application.installEventFilter(&watch);
    CMorvexApp app;
    if (!app.InitInstance(QApplication::arguments().mid(1))) return 1;
    return QApplication::exec();
}
