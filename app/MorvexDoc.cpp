#include "app/MorvexDoc.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <system_error>

#include "engine/AnalysisRun.h"
#include "platform/Host.h"
#include "platform/TextFile.h"
#include "view/qt/MorvexViewWidget.h"

CMorvexDoc::~CMorvexDoc() {
    OnCloseDocument();
}

bool CMorvexDoc::OnOpenDocument(const QString& path) {
    m_path = path;
    m_pathBase = QString::fromStdString(DataFileBase(path.toStdString()));
    m_openCancelled = false;
    m_engine = PrepareAnalysis(path.toStdString());
    if (!m_engine) return false;
    // A large model takes seconds to analyse: the status bar says so until it is done, and
    // the engine's progress moves it.
    const QString name = QFileInfo(path).fileName();
    const std::string waiting = "正在分析" + name.toStdString() + "，请等待...";
    bool ended = false, ok = false;
    QEventLoop loop;
    const bool started = StartWorker(
        waiting.c_str(), [](CPlaneFrame& engine) { return AnalyseModel(engine); },
        [&ended, &ok, &loop](CMorvexDoc&, bool result) {
            ok = result;
            ended = true;
            loop.quit();
        });
    if (!started) {
        // No thread to be had: the run goes on here, as it always may.
        ShowStatus(waiting);
        ok = AnalyseModel(*m_engine);
        ended = true;
    }
    if (!ended) {
        // A short run (the bundled girder) ends before anything is shown; input meanwhile
        // waits for the window that opens.
        QTimer::singleShot(kProgressDelayMs, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!ended) {
        QWidget* parent = DialogParent();
        QProgressDialog dialog(parent && parent->isVisible() ? parent : nullptr);
        SetUpProgressDialog(dialog, QStringLiteral("静力分析"));
        const QString label = QString::fromStdString(waiting);
        dialog.setLabelText(label);
        connect(&dialog, &QProgressDialog::canceled, this, [this] { CancelRun(); });
        // The worker stores its progress in the engine; the window looks at it.
        CPlaneFrame* engine = m_engine.get();
        const auto look = [&dialog, engine, label] {
            dialog.setValue(engine->m_runProgress.load());
            dialog.setLabelText(label + QLatin1Char('\n') +
                                QString::fromUtf8(CPlaneFrame::RunStageText(engine->m_runStage)));
        };
        look();
        QTimer poll;
        connect(&poll, &QTimer::timeout, &dialog, look);
        poll.start(100);
        dialog.show();
        while (!ended) loop.exec();
        poll.stop();
        dialog.hide();
    }
    if (m_worker.joinable()) m_worker.join();
    ShowStatus("");
    if (ok) {
        m_engine->m_keepRunning = 1;  // a stop asked for after the files were written
        return true;
    }
    m_openCancelled = m_engine->m_keepRunning == 0;
    // The engine goes with the scratch files of the run; the result files were not touched.
    m_engine.reset();
    if (m_openCancelled) ShowMessage("静力分析已取消，原有结果文件未改变");
    return false;
}

void CMorvexDoc::OnCloseDocument() {
    if (!m_engine) return;
    // A worker polls m_keepRunning, but an eigen-solution reads it only between its LAPACK
    // steps (seconds apart on a large model): rather than wait for it, the worker and the
    // engine it uses go to a thread of their own, which frees the engine once the worker has
    // stopped. The window closes at once.
    m_engine->m_keepRunning = 0;
    if (m_worker.joinable() && m_engine->m_busy != 0) {
        struct Handoff {
            std::thread worker;
            std::unique_ptr<CPlaneFrame> engine;
        };
        auto* handoff = new Handoff{std::move(m_worker), std::move(m_engine)};
        try {
            std::thread([handoff] {
                handoff->worker.join();
                delete handoff;
            }).detach();
            return;
        } catch (const std::exception&) {
            // No thread for it: take them back and wait here.
            m_worker = std::move(handoff->worker);
            m_engine = std::move(handoff->engine);
            delete handoff;
        }
    }
    while (m_engine->m_busy != 0) QThread::msleep(10);
    if (m_worker.joinable()) m_worker.join();
    m_engine.reset();
}

bool CMorvexDoc::StartWorker(const char* status, std::function<bool(CPlaneFrame&)> job,
                             std::function<void(CMorvexDoc&, bool)> ended) {
    if (!m_engine || m_engine->m_busy != 0) return false;
    if (m_worker.joinable()) m_worker.join();  // a finished earlier run
    CPlaneFrame* engine = m_engine.get();
    engine->m_keepRunning = 1;
    engine->m_busy = 1;
    ShowStatus(status);
    QPointer<CMorvexDoc> self(this);
    try {
        m_worker = std::thread([engine, self, job = std::move(job), ended = std::move(ended)] {
            const bool ok = job(*engine);
            // Not busy before the window hears of the end, so its commands are up to date;
            // the engine is not touched after this (a closing document may free it).
            engine->m_busy = 0;
            // The window hears of the end on its own thread; the document may be closing.
            QMetaObject::invokeMethod(
                qApp,
                [self, ended, ok] {
                    if (self) ended(*self, ok);
                },
                Qt::QueuedConnection);
        });
    } catch (const std::exception&) {
        // std::system_error (no thread to be had) or std::bad_alloc (no memory for its start).
        engine->m_busy = 0;
        ShowStatus("");
        return false;
    }
    return true;
}

bool CMorvexDoc::StartNaturalVibration() {
    if (m_modesReady || !m_engine || m_engine->m_busy != 0) return false;
    const bool started = StartWorker(
        "固有振动分析进行中...",
        [](CPlaneFrame& engine) { return engine.NaturalVibration(); },
        [](CMorvexDoc& doc, bool ok) {
            // Set here, on the window's thread: the worker may outlive a closed document.
            if (!doc.m_engine) return;
            if (ok) doc.m_modesReady = true;
            emit doc.NaturalVibrationEnded(ok, !ok && doc.m_engine->m_keepRunning == 0);
        });
    if (!started) ShowMessage("错误：无法启动固有振动分析!");
    return started;
}

bool CMorvexDoc::StartDynamicResponse(const std::string& loadPath) {
    if (!m_engine || m_engine->m_busy != 0) return false;
    const bool started = StartWorker(
        "动力响应分析进行中，请等待...",
        [loadPath](CPlaneFrame& engine) { return engine.DynamicResponse(loadPath); },
        [](CMorvexDoc& doc, bool ok) {
            // Stopped by closing the document: the user knows, nothing to report.
            if (!doc.m_engine) return;
            const bool cancelled = !ok && doc.m_engine->m_keepRunning == 0;
            emit doc.DynamicResponseEnded(ok, cancelled);
        });
    if (!started) ShowMessage("错误：无法启动动力响应分析!");
    return started;
}

void CMorvexDoc::CancelRun() {
    if (!m_engine || m_engine->m_busy == 0) return;
    m_engine->m_keepRunning = 0;
    // A step of the eigen-solution can take seconds on a large model before the stop is seen.
    ShowStatus("正在取消...");
}

QString CMorvexDoc::Title() const {
    return QFileInfo(m_path).fileName();
}

void CMorvexDoc::OnEditData() {
    emit OpenTextRequested(m_path);
}

void CMorvexDoc::OnViewResult() {
    emit OpenTextRequested(m_pathBase + ".out");
}

QString CMorvexDoc::DynamicLoadPath() const {
    return QString::fromStdString(SideFilePath(m_pathBase.toStdString(), kDynamicLoadFile));
}

void CMorvexDoc::OnDynamicLoadEdit() {
    // The file the response run will read; when there is none, one beside the data file.
    QString path = DynamicLoadPath();
    if (!QFileInfo::exists(path)) {
        const QString beside =
            QFileInfo(m_path).absoluteDir().filePath(QString::fromUtf8(kDynamicLoadFile));
        QMessageBox ask(
            QMessageBox::Question, QStringLiteral("Morvex"),
            QStringLiteral("没有动力荷载文件dynamic_load.txt。要在数据文件旁新建吗？\n%1")
                .arg(QDir::toNativeSeparators(beside)),
            QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
        ask.button(QMessageBox::Yes)->setText(QStringLiteral("是"));
        ask.button(QMessageBox::No)->setText(QStringLiteral("否"));
        if (ask.exec() != QMessageBox::Yes) return;
        QFile file(beside);
        if (!file.open(QIODevice::WriteOnly)) {
            ShowMessage("无法建立文件：" + beside.toStdString());
            return;
        }
        file.close();
        path = beside;
    }
    emit OpenTextRequested(path);
}
