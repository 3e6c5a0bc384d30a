// The result document: one data file, analysed on opening.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "app/Document.h"
#include "engine/PlaneFrame.h"
#include "view/ViewFrame.h"

// Holds the engine of one analysed data file until its last window closes.
class CMorvexDoc : public CDocument, public CViewDocument {
    Q_OBJECT
public:
    CMorvexDoc() : CDocument(kResult) {}
    ~CMorvexDoc() override;

    // The analysis run, on the worker: false (after its one message) when the file is missing
    // or the data file cannot be read or solved, or when the user stopped the run; the
    // document is then discarded. A run still going after kProgressDelayMs gets a progress
    // window whose "取消" stops it; until then no user input is taken.
    bool OnOpenDocument(const QString& path);
    // Whether the last OnOpenDocument ended because the user stopped the run.
    bool OpenCancelled() const { return m_openCancelled; }
    static constexpr int kProgressDelayMs = 400;
    // Stops a running computation, waits for it, and destroys the engine with its scratch files.
    void OnCloseDocument() override;

    QString Title() const override;
    QString PathName() const override { return m_path; }
    // The data-file path without ".fem": every side file is named from it.
    QString PathBase() const { return m_pathBase; }
    CPlaneFrame* Engine() const { return m_engine.get(); }

    // Opens the data file in the text editor.
    void OnEditData();
    // Opens the result file in the text editor.
    void OnViewResult();
    // The dynamic load file a response run of this document reads: "dynamic_load.txt"
    // beside the data file, else the working directory's.
    QString DynamicLoadPath() const;
    // Opens that file in the text editor, or offers to create it beside the data file.
    void OnDynamicLoadEdit();

    // CViewDocument: the natural-vibration analysis on a worker thread. m_busy is set
    // before the worker starts, so a close that comes at once still waits for it.
    bool ModesReady() const override { return m_modesReady; }
    bool StartNaturalVibration() override;
    // The dynamic response on the worker; "取消" stops it through the stop flag.
    bool StartDynamicResponse(const std::string& loadPath) override;
    void CancelRun() override;

signals:
    // The natural-vibration worker has ended: completed, cancelled, or failed (reported).
    void NaturalVibrationEnded(bool ok, bool cancelled);
    // The dynamic-response worker has ended: completed, cancelled, or failed (reported).
    void DynamicResponseEnded(bool ok, bool cancelled);

private:
    // Runs job on the worker thread with the busy flag set; ended then runs on the GUI
    // thread unless the document has gone. False (after a message) when it cannot start.
    bool StartWorker(const char* status, std::function<bool(CPlaneFrame&)> job,
                     std::function<void(CMorvexDoc&, bool)> ended);

    QString m_path;
    QString m_pathBase;
    std::unique_ptr<CPlaneFrame> m_engine;
    std::atomic<bool> m_modesReady{false};
    bool m_openCancelled = false;
    std::thread m_worker;
};
