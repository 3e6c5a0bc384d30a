// The text document: any file other than a data file, edited as plain text.
#pragma once

#include <QTextDocument>

#include "app/Document.h"
#include "app/TextEncoding.h"

// Plain text (never rich text) read from and saved to one file in the form it came in.
class CMyeditDoc : public CDocument {
    Q_OBJECT
public:
    CMyeditDoc();

    // An empty, untitled document named after the type and a running number (Edit1, Edit2 ...).
    void OnNewDocument(int number);
    // Reads the file; false after a message when it is missing or unreadable. A large file
    // (over kWholePiece characters: a result file of a 10^5-element model is 100 MB) goes
    // into the document in pieces of whole lines under a progress window; its "取消" ends
    // the open with false and OpenCancelled().
    bool OnOpenDocument(const QString& path);
    bool OpenCancelled() const { return m_openCancelled; }
    static constexpr qsizetype kPiece = qsizetype(1) << 20;
    static constexpr qsizetype kWholePiece = 4 * kPiece;
    // Writes the text to path in the document's form; false after a message on failure.
    bool OnSaveDocument(const QString& path);
    // Save: to the document's file, or through the save-as dialog when it has none.
    bool DoFileSave();
    // Save as: asks for a file name, then saves there.
    bool DoSaveAs();
    bool SaveModified() override;

    QString Title() const override { return m_title; }
    QString PathName() const override { return m_path; }
    bool IsModified() const { return m_text->isModified(); }
    QTextDocument* Text() const { return m_text; }
    const TextFileForm& Form() const { return m_form; }

private:
    void SetPathName(const QString& path);
    bool InsertInPieces(const QString& text, const QString& path);

    QTextDocument* m_text;
    QString m_path;
    QString m_title;
    TextFileForm m_form;
    bool m_openCancelled = false;
};
