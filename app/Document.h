// What the main frame needs of every document, whatever its type.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class CChildFrame;
class QWidget;

// A document shown in one or more MDI child windows; it closes with its last window.
class CDocument : public QObject {
    Q_OBJECT
public:
    enum Kind { kResult, kText };

    explicit CDocument(Kind kind) : m_kind(kind) {}
    Kind DocKind() const { return m_kind; }

    // The caption of the document's windows.
    virtual QString Title() const = 0;
    // The file the document shows (empty for an untitled one).
    virtual QString PathName() const = 0;
    // Asks to save unsaved changes; false when the user cancels or saving fails.
    virtual bool SaveModified() { return true; }
    // Releases what the document holds; called once, when its last window closes.
    virtual void OnCloseDocument() {}

    const QList<CChildFrame*>& Frames() const { return m_frames; }
    void AddFrame(CChildFrame* frame);
    // Forgets a closed window; closes the document after its last one.
    void RemoveFrame(CChildFrame* frame);
    // The window that the document's own dialogs (the progress of a run) belong to; given by
    // the program when it creates the document.
    void SetDialogParent(QWidget* window) { m_dialogParent = window; }
    QWidget* DialogParent() const { return m_dialogParent; }

signals:
    void TitleChanged();
    // Asks the program to open path as a text document.
    void OpenTextRequested(const QString& path);
    // The document was written to path (the recent-file list takes it).
    void Written(const QString& path);

private:
    Kind m_kind;
    QList<CChildFrame*> m_frames;
    QPointer<QWidget> m_dialogParent;
};
