// The result document: one data file, analysed on opening.
#pragma once

#include <atomic>
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

    // The analysis run: false (after its one message) when the file is missing or the data
    // file cannot be read or solved; the document is then discarded.
    bool OnOpenDocument(const QString& path);
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
    // Opens "dynamic_load.txt" of the working directory in the text editor.
    void OnDynamicLoadEdit();

    // CViewDocument: the natural-vibration analysis on a worker thread. m_busy is set
    // before the worker starts, so a close that comes at once still waits for it.
    bool ModesReady() const override { return m_modesReady; }
    bool StartNaturalVibration() override;

signals:
    // The natural-vibration worker has ended (successfully or not).
    void NaturalVibrationEnded(bool ok);

private:
    QString m_path;
    QString m_pathBase;
    std::unique_ptr<CPlaneFrame> m_engine;
    std::atomic<bool> m_modesReady{false};
    std::thread m_worker;
};
