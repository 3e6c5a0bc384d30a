#include "app/MorvexDoc.h"

#include <QApplication>
#include <QFileInfo>
#include <QPointer>
#include <QThread>
#include <system_error>

#include "app/MorvexApp.h"
#include "engine/AnalysisRun.h"
#include "platform/Host.h"

CMorvexDoc::~CMorvexDoc() {
    OnCloseDocument();
}

bool CMorvexDoc::OnOpenDocument(const QString& path) {
    m_path = path;
    m_pathBase = QString::fromStdString(DataFileBase(path.toStdString()));
    m_engine = RunAnalysis(path.toStdString());
    return m_engine != nullptr;
}

void CMorvexDoc::OnCloseDocument() {
    if (!m_engine) return;
    // The natural-vibration worker polls m_keepRunning and clears m_busy when it has stopped.
    m_engine->m_keepRunning = 0;
    while (m_engine->m_busy != 0) QThread::msleep(10);
    if (m_worker.joinable()) m_worker.join();
    m_engine.reset();
}

bool CMorvexDoc::StartNaturalVibration() {
    if (!m_engine || m_modesReady || m_engine->m_busy != 0) return false;
    if (m_worker.joinable()) m_worker.join();  // a finished earlier attempt
    CPlaneFrame* engine = m_engine.get();
    engine->m_keepRunning = 1;
    engine->m_busy = 1;
    ShowStatus("固有振动分析进行中...");
    QPointer<CMorvexDoc> self(this);
    try {
        m_worker = std::thread([this, engine, self] {
            const bool ok = engine->NaturalVibration();
            if (ok) m_modesReady = true;
            // The window hears of the end on its own thread; the document may be closing.
            QMetaObject::invokeMethod(
                qApp,
                [self, ok] {
                    if (self) emit self->NaturalVibrationEnded(ok);
                },
                Qt::QueuedConnection);
            engine->m_busy = 0;
        });
    } catch (const std::exception&) {
        // std::system_error (no thread to be had) or std::bad_alloc (no memory for its start).
        engine->m_busy = 0;
        ShowStatus("");
        ShowMessage("错误：无法启动固有振动分析!");
        return false;
    }
    return true;
}

QString CMorvexDoc::Title() const {
    return QFileInfo(m_path).fileName();
}

void CMorvexDoc::OnEditData() {
    CMorvexApp::Instance()->OpenAsText(m_path);
}

void CMorvexDoc::OnViewResult() {
    CMorvexApp::Instance()->OpenAsText(m_pathBase + ".out");
}

void CMorvexDoc::OnDynamicLoadEdit() {
    CMorvexApp::Instance()->OpenAsText(QStringLiteral("dynamic_load.txt"));
}
