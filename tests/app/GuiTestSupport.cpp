#include "GuiTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTest>

#include "SmallModels.h"
#include "app/MainFrame.h"
#include "app/MorvexApp.h"

const char* const kSmallModel = kTwoElementBeam;

QString ExamplePath() {
    return QStringLiteral(MORVEX_SOURCE_DIR "/examples/three_span_girder.fem");
}

CModalRecorder::CModalRecorder(QMessageBox::StandardButton answer) : m_answer(answer) {
    connect(&m_timer, &QTimer::timeout, this, &CModalRecorder::Poll);
    m_timer.start(10);
}

void CModalRecorder::Poll() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    texts.append(box->text());
    details.append(box->detailedText());
    icons.append(box->icon());
    QAbstractButton* button = box->button(m_answer);
    if (!button) button = box->button(QMessageBox::Ok);
    if (button)
        button->click();
    else
        box->reject();
}

CGuiFixture::CGuiFixture() {
    m_oldDir = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
}

CGuiFixture::~CGuiFixture() {
    m_app.reset();
    QDir::setCurrent(m_oldDir);
}

bool CGuiFixture::Start(const QStringList& arguments) {
    m_app = std::make_unique<CMorvexApp>();
    const bool ok = m_app->InitInstance(arguments);
    Settle();
    return ok;
}

CMainFrame& CGuiFixture::Frame() {
    return *m_app->MainFrame();
}

void CGuiFixture::WriteFile(const QString& name, const QByteArray& bytes) const {
    QFile file(Path(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray CGuiFixture::ReadFile(const QString& name) const {
    QFile file(Path(name));
    if (!file.open(QIODevice::ReadOnly)) return QByteArray();
    return file.readAll();
}

void CGuiFixture::Settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTest::qWait(5);
    }
}
