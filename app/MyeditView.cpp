#include "app/MyeditView.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QMenu>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <memory>

#include "app/Commands.h"
#include "app/MyeditDoc.h"
#include "platform/Host.h"
#include "view/qt/PageLayout.h"

namespace {

QTextDocument::FindFlags Flags(bool matchCase, bool wholeWord, bool backward) {
    QTextDocument::FindFlags flags;
    if (matchCase) flags |= QTextDocument::FindCaseSensitively;
    if (wholeWord) flags |= QTextDocument::FindWholeWords;
    if (backward) flags |= QTextDocument::FindBackward;
    return flags;
}

bool SelectionMatches(const QTextCursor& c, const QString& text, bool matchCase) {
    return c.hasSelection() &&
           QString::compare(c.selectedText(), text,
                            matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0;
}

}  // namespace

CMyeditView::CMyeditView(CMyeditDoc* doc, QWidget* parent) : QPlainTextEdit(parent), m_doc(doc) {
    setDocument(doc->Text());
    setLineWrapMode(QPlainTextEdit::NoWrap);
    // The font is the view's, not the text's: setting it must not count as an edit.
    setFont(EditorFont());
    doc->Text()->setModified(false);
}

QFont CMyeditView::EditorFont() {
    // Noto's mono CJK face gives Chinese characters exactly twice the width of Latin ones, so
    // the columns of a data file stay aligned; the font database calls it proportional only
    // because of those double-width glyphs.
    const QString cjkMono = QStringLiteral("Noto Sans Mono CJK SC");
    QFont font = QFontDatabase::families().contains(cjkMono)
                     ? QFont(cjkMono)
                     : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setBold(false);
    font.setPointSizeF(10.5);
    return font;
}

void CMyeditView::PlainPaste() {
    if (isReadOnly()) return;
    QClipboard* clipboard = QApplication::clipboard();
    const QMimeData* data = clipboard->mimeData();
    if (!data || !data->hasText()) return;
    const QString text = data->text();
    // Leave only the plain form on the clipboard, so later pastes anywhere carry no format.
    clipboard->setText(text);
    insertPlainText(text);
}

void CMyeditView::DeleteSelection() {
    if (!isReadOnly()) textCursor().removeSelectedText();
}

bool CMyeditView::Find(const QString& text, bool matchCase, bool wholeWord, bool backward) {
    if (text.isEmpty()) return false;
    return find(text, Flags(matchCase, wholeWord, backward));
}

bool CMyeditView::Replace(const QString& text, const QString& with, bool matchCase,
                          bool wholeWord) {
    QTextCursor c = textCursor();
    if (!isReadOnly() && SelectionMatches(c, text, matchCase)) {
        c.insertText(with);
        setTextCursor(c);
    }
    return Find(text, matchCase, wholeWord, false);
}

int CMyeditView::ReplaceAll(const QString& text, const QString& with, bool matchCase,
                            bool wholeWord) {
    if (text.isEmpty() || isReadOnly()) return 0;
    int count = 0;
    QTextCursor edit(document());
    edit.beginEditBlock();
    QTextCursor found(document());
    const QTextDocument::FindFlags flags = Flags(matchCase, wholeWord, false);
    while (true) {
        found = document()->find(text, found, flags);
        if (found.isNull()) break;
        found.insertText(with);  // the cursor ends after the inserted text, so no rescan
        ++count;
    }
    edit.endEditBlock();
    return count;
}

void CMyeditView::PrintTo(QPrinter* printer) const {
    printer->setPageMargins(QMarginsF(12.7, 12.7, 12.7, 12.7), QPageLayout::Millimeter);
    std::unique_ptr<QTextDocument> copy(document()->clone());
    copy->setDefaultFont(font());
    QTextFrameFormat root = copy->rootFrame()->frameFormat();
    root.setMargin(0);
    copy->rootFrame()->setFrameFormat(root);
    // A document with a page size is printed as laid out, inside the printer's margins.
    copy->setPageSize(printer->pageLayout().paintRectPixels(printer->resolution()).size());
    copy->print(printer);
}

void CMyeditView::Print(bool direct) {
    QPrinter* printer = m_printer ? m_printer() : nullptr;
    if (!printer) return;
    // Without an installed printer a direct print would go nowhere; the dialog offers a file.
    if (PrinterNeedsDialog(*printer)) direct = false;
    if (!direct) {
        QPrintDialog dialog(printer, this);
        if (textCursor().hasSelection()) dialog.setOption(QAbstractPrintDialog::PrintSelection);
        if (dialog.exec() != QDialog::Accepted) return;
    }
    PrintTo(printer);
    // A printer that could not start is left active; the next print gets a fresh one.
    if (printer->printerState() != QPrinter::Idle) ShowMessage(kPrintFailedText);
}

void CMyeditView::PrintPreview() {
    QPrinter* printer = m_printer ? m_printer() : nullptr;
    if (!printer) return;
    QPrintPreviewDialog dialog(printer, this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* printer) { PrintTo(printer); });
    dialog.exec();
}

void CMyeditView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        PlainPaste();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void CMyeditView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    const struct {
        const char* text;
        int id;
    } items[] = {{"剪切", ID_EDIT_CUT},   {"复制", ID_EDIT_COPY}, {"粘贴", ID_EDIT_PASTE},
                 {"删除", ID_EDIT_CLEAR}, {nullptr, 0},           {"全选", ID_EDIT_SELECT_ALL},
                 {"撤消", ID_EDIT_UNDO}};
    for (const auto& item : items) {
        if (!item.text) {
            menu.addSeparator();
            continue;
        }
        QAction* a = menu.addAction(QString::fromUtf8(item.text));
        QAction* command = m_commands ? m_commands(item.id) : nullptr;
        if (command) {
            a->setEnabled(command->isEnabled());
            a->setStatusTip(command->statusTip());
            connect(a, &QAction::triggered, command, &QAction::trigger);
        }
    }
    menu.exec(event->globalPos());
}

bool CMyeditView::canInsertFromMimeData(const QMimeData* source) const {
    // Files dropped on the editor open as documents (the frame handles them), not as text.
    if (source->hasUrls()) return false;
    return source->hasText();
}

void CMyeditView::insertFromMimeData(const QMimeData* source) {
    if (source->hasText()) insertPlainText(source->text());
}
