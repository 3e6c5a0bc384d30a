// The text editor view: plain text in a fixed-pitch font that shows Chinese.
#pragma once

#include <QPlainTextEdit>
#include <functional>

class CMyeditDoc;
class QAction;
class QPrinter;

// Edits a text document; pastes only plain text, and prints with half-inch margins.
class CMyeditView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CMyeditView(CMyeditDoc* doc, QWidget* parent = nullptr);
    CMyeditDoc* Document() const { return m_doc; }
    // Where printing gets its printer (asked at each print: the printer may be replaced).
    void SetPrinterSource(std::function<QPrinter*()> source) { m_printer = std::move(source); }
    // The command actions the context menu runs, by command number.
    void SetCommandSource(std::function<QAction*(int)> source) { m_commands = std::move(source); }

    // The editor's font: a fixed-pitch face with Chinese glyphs.
    static QFont EditorFont();

    // Paste of the clipboard's plain text only; afterwards the clipboard holds just that text.
    void PlainPaste();
    // Deletes the selection.
    void DeleteSelection();
    // Finds text from the cursor; false when it does not occur in that direction.
    bool Find(const QString& text, bool matchCase, bool wholeWord, bool backward);
    // Replaces the selection when it matches text, then finds the next occurrence.
    bool Replace(const QString& text, const QString& with, bool matchCase, bool wholeWord);
    // Replaces every occurrence as one undo step; returns how many were replaced.
    int ReplaceAll(const QString& text, const QString& with, bool matchCase, bool wholeWord);

    // Lays the text out on the printer's pages.
    void PrintTo(QPrinter* printer) const;
    // The print dialog, then printing (direct skips the dialog).
    void Print(bool direct);
    void PrintPreview();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    CMyeditDoc* m_doc;
    std::function<QPrinter*()> m_printer;
    std::function<QAction*(int)> m_commands;
};
