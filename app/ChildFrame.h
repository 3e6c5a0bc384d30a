// An MDI child window showing one view of a document.
#pragma once

#include <QMdiSubWindow>

class CDocument;

// Holds one view of its document; closing the last window of a document closes the
// document (asking to save a changed text first).
class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    CChildFrame(CDocument* doc, QWidget* view);
    ~CChildFrame() override;

    CDocument* Document() const { return m_doc; }
    QWidget* View() const { return widget(); }
    // Closes without the save question (asked already, as on exit).
    void CloseWithoutAsking();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void UpdateTitle();

    CDocument* m_doc;
    bool m_detached = false;
    bool m_noPrompt = false;
};
