#ifdef MORVEX_HAS_RENDER

#include "cli/HeadlessQt.h"

#include <cstdio>
#include <cstdlib>

#include "view/qt/QtSurface.h"

namespace {

const char* g_command = "";

// Qt's notices (runtime directories and the like) are noise in a batch run.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "morvex-cli %s: %s\n", g_command, text.toLocal8Bit().constData());
}

}  // namespace

CHeadlessQt::CHeadlessQt(const char* command) {
    g_command = command;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int qtArgc = 1;
    static char qtName[] = "morvex-cli";
    static char* qtArgv[] = {qtName, nullptr};
    qInstallMessageHandler(QuietQtMessages);
    m_app = std::make_unique<QGuiApplication>(qtArgc, qtArgv);
    InstallViewFonts();
}

#endif  // MORVEX_HAS_RENDER
