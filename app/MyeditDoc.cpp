#include "app/MyeditDoc.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPlainTextDocumentLayout>
#include <QProgressDialog>
#include <QPushButton>
#include <QSaveFile>
#include <QTextCursor>
#include <algorithm>

#include "app/GuiHost.h"
#include "platform/Host.h"
#include "view/qt/MorvexViewWidget.h"

CMyeditDoc::CMyeditDoc() : CDocument(kText), m_text(new QTextDocument(this)) {
    m_text->setDocumentLayout(new QPlainTextDocumentLayout(m_text));
    connect(m_text, &QTextDocument::modificationChanged, this, &CDocument::TitleChanged);
}

void CMyeditDoc::OnNewDocument(int number) {
    m_title = QStringLiteral("Edit%1").arg(number);
    m_text->setModified(false);
}

bool CMyeditDoc::OnOpenDocument(const QString& path) {
    QFile file(path);
    if (!file.exists()) {
        ShowMessageBox(QStringLiteral("无法找到该文件。\n请验证给出的路径和文件名是否正确。"),
                       path);
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        ShowMessageBox(QStringLiteral("打开文档失败。"), path);
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        ShowMessageBox(QStringLiteral("打开文档失败。"), path);
        return false;
    }
    QString text;
    if (!DecodeTextFile(bytes, text, m_form)) {
        // Saving such a text would replace the undecodable bytes; the user must say so.
        ShowMessageBox(QStringLiteral("文件含有无法识别的字符，保存时这些字符将丢失。"), path);
    }
    m_openCancelled = false;
    if (text.size() <= kWholePiece) {
        m_text->setPlainText(text);
    } else if (!InsertInPieces(text, path)) {
        m_openCancelled = true;
        ShowStatus("已取消打开" + QFileInfo(path).fileName().toStdString());
        return false;
    }
    m_text->clearUndoRedoStacks();
    m_text->setModified(false);
    SetPathName(path);
    return true;
}

bool CMyeditDoc::InsertInPieces(const QString& text, const QString& path) {
    QWidget* parent = DialogParent();
    QProgressDialog dialog(parent && parent->isVisible() ? parent : nullptr);
    SetUpProgressDialog(dialog, QStringLiteral("打开文件"));
    dialog.setLabelText(QStringLiteral("正在打开%1...").arg(QFileInfo(path).fileName()));
    dialog.show();
    m_text->clear();
    QTextCursor cursor(m_text);
    for (qsizetype at = 0; at < text.size();) {
        // Whole lines, about a piece at a time.
        qsizetype end = std::min(text.size(), at + kPiece);
        if (end < text.size()) {
            const qsizetype newline = text.indexOf(QLatin1Char('\n'), end);
            end = newline < 0 ? text.size() : newline + 1;
        }
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(text.mid(at, end - at));
        at = end;
        dialog.setValue(static_cast<int>(100 * at / text.size()));
        QCoreApplication::processEvents();
        if (dialog.wasCanceled()) {
            m_text->clear();
            return false;
        }
    }
    return true;
}

bool CMyeditDoc::OnSaveDocument(const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(EncodeTextFile(m_text->toPlainText(), m_form)) < 0 || !file.commit()) {
        ShowMessageBox(QStringLiteral("保存文档失败。"), path);
        return false;
    }
    m_text->setModified(false);
    SetPathName(path);
    emit Written(path);
    return true;
}

bool CMyeditDoc::DoFileSave() {
    if (m_path.isEmpty()) return DoSaveAs();
    return OnSaveDocument(m_path);
}

bool CMyeditDoc::DoSaveAs() {
    const QString start = m_path.isEmpty() ? m_title + QStringLiteral(".txt") : m_path;
    const QString path =
        QFileDialog::getSaveFileName(QApplication::activeWindow(), QStringLiteral("另存为"), start,
                                     QStringLiteral("所有文件(*.*)"));
    if (path.isEmpty()) return false;
    return OnSaveDocument(path);
}

bool CMyeditDoc::SaveModified() {
    if (!IsModified()) return true;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Morvex"),
                    QStringLiteral("将改动保存到 %1？").arg(m_path.isEmpty() ? m_title : m_path),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    QApplication::activeWindow());
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
    switch (box.exec()) {
        case QMessageBox::Yes:
            return DoFileSave();
        case QMessageBox::No:
            return true;
        default:
            return false;
    }
}

void CMyeditDoc::SetPathName(const QString& path) {
    m_path = QFileInfo(path).absoluteFilePath();
    m_title = QFileInfo(path).fileName();
    emit TitleChanged();
}
