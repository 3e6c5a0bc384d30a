#include "app/MorvexDoc.h"

#include <QFileInfo>
#include <QThread>

#include "app/MorvexApp.h"
#include "engine/AnalysisRun.h"

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
    m_engine.reset();
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
