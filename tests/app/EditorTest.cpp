// The text editor: the save prompt only after a real edit, saving exactly the text in the
// encoding the file came in, plain-text paste, find and replace, printing.
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QPrinter>
#include <QPushButton>
#include <QStringEncoder>
#include <QTest>
#include <QTextBlock>

#include "GuiTestSupport.h"
#include "app/ChildFrame.h"
#include "app/Commands.h"
#include "app/FindReplaceDialog.h"
#include "app/MainFrame.h"
#include "app/MorvexApp.h"
#include "app/MyeditDoc.h"
#include "app/MyeditView.h"

class EditorTest : public QObject {
    Q_OBJECT
private slots:
    void OpenAndCloseAsksNothing();
    void SavePromptFollowsARealEdit();
    void SaveWritesExactlyTheText();
    void FilesKeepTheEncodingAndLineEndsTheyCameIn();
    void UndecodableBytesAreReportedOnce();
    void PasteInsertsOnlyPlainText();
    void FindNextAndReplaceAll();
    void PrintsToAPdfFile();
    void ReplaceDialogActsOnTheActiveEditor();
    void ExitAsksForEachChangedText();
};

namespace {

CMyeditView* ViewOf(CMyeditDoc* doc) {
    return doc ? qobject_cast<CMyeditView*>(doc->Frames().first()->View()) : nullptr;
}

QByteArray Gb18030(const QString& text) {
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

}  // namespace

void EditorTest::OpenAndCloseAsksNothing() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    QFile::copy(ExamplePath(), fx.Path("girder.fem"));
    fx.WriteFile("legacy.txt", Gb18030(QStringLiteral("节点数\r\n单元数\r\n")));
    const QByteArray before = fx.ReadFile("girder.fem");
    CModalRecorder boxes;
    for (const char* name : {"girder.fem", "legacy.txt"}) {
        CMyeditDoc* doc = fx.App().OpenAsText(fx.Path(name));
        QVERIFY(doc);
        QVERIFY(!doc->IsModified());
        QVERIFY(doc->Frames().first()->close());
    }
    CGuiFixture::Settle();
    QVERIFY(boxes.texts.isEmpty());
    QVERIFY(fx.Frame().Children().isEmpty());
    QCOMPARE(fx.ReadFile("girder.fem"), before);
}

void EditorTest::SavePromptFollowsARealEdit() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    fx.WriteFile("notes.txt", "first line\n");
    CMyeditDoc* doc = fx.App().OpenAsText(fx.Path("notes.txt"));
    CMyeditView* view = ViewOf(doc);
    QVERIFY(view);
    view->moveCursor(QTextCursor::End);
    QTest::keyClicks(view, "more");
    QVERIFY(doc->IsModified());
    const QString prompt = QStringLiteral("将改动保存到 %1？").arg(fx.Path("notes.txt"));
    {
        CModalRecorder cancel(QMessageBox::Cancel);
        QVERIFY(!doc->Frames().first()->close());
        QCOMPARE(cancel.texts, QStringList{prompt});
    }
    {
        CModalRecorder no(QMessageBox::No);
        QVERIFY(doc->Frames().first()->close());
        QCOMPARE(no.texts, QStringList{prompt});
    }
    QCOMPARE(fx.ReadFile("notes.txt"), QByteArray("first line\n"));

    doc = fx.App().OpenAsText(fx.Path("notes.txt"));
    view = ViewOf(doc);
    view->moveCursor(QTextCursor::End);
    QTest::keyClicks(view, "second");
    CModalRecorder yes(QMessageBox::Yes);
    QVERIFY(doc->Frames().first()->close());
    QCOMPARE(yes.texts.size(), 1);
    QCOMPARE(fx.ReadFile("notes.txt"), QByteArray("first line\nsecond"));
}

void EditorTest::SaveWritesExactlyTheText() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    CMyeditDoc* doc = fx.App().OnFileNew();
    CMyeditView* view = ViewOf(doc);
    QVERIFY(!doc->IsModified());
    const QString text = QStringLiteral("三跨连续梁\n  21  20  0\n\ttab and trailing space \n");
    view->insertPlainText(text);
    QVERIFY(doc->IsModified());
    QVERIFY(doc->OnSaveDocument(fx.Path("new.fem")));
    QCOMPARE(fx.ReadFile("new.fem"), text.toUtf8());
    QVERIFY(!doc->IsModified());
    QCOMPARE(doc->Title(), QStringLiteral("new.fem"));
    QCOMPARE(fx.App().RecentFiles().first(), fx.Path("new.fem"));

    // A folder that cannot be written reports the failure and keeps the changes.
    view->insertPlainText(QStringLiteral("x"));
    CModalRecorder boxes;
    QVERIFY(!doc->OnSaveDocument(fx.Path("no/such/dir/a.txt")));
    QCOMPARE(boxes.texts.size(), 1);
    QVERIFY(doc->IsModified());
}

void EditorTest::FilesKeepTheEncodingAndLineEndsTheyCameIn() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    const QByteArray gb = Gb18030(QStringLiteral("节点数 单元数\r\n  21  20\r\n"));
    fx.WriteFile("gb.txt", gb);
    fx.WriteFile("bom.txt", "\xEF\xBB\xBF" + QStringLiteral("截面\n").toUtf8());

    CMyeditDoc* doc = fx.App().OpenAsText(fx.Path("gb.txt"));
    QVERIFY(doc && doc->Form().gb18030 && doc->Form().crlf);
    QCOMPARE(doc->Text()->toPlainText(), QStringLiteral("节点数 单元数\n  21  20\n"));
    QVERIFY(doc->DoFileSave());
    QCOMPARE(fx.ReadFile("gb.txt"), gb);  // unchanged text, unchanged bytes
    ViewOf(doc)->moveCursor(QTextCursor::End);
    ViewOf(doc)->insertPlainText(QStringLiteral("材料\n"));
    QVERIFY(doc->DoFileSave());
    QCOMPARE(fx.ReadFile("gb.txt"), gb + Gb18030(QStringLiteral("材料\r\n")));

    doc = fx.App().OpenAsText(fx.Path("bom.txt"));
    QVERIFY(doc && !doc->Form().gb18030 && doc->Form().bom);
    QCOMPARE(doc->Text()->toPlainText(), QStringLiteral("截面\n"));
    QVERIFY(doc->DoFileSave());
    QCOMPARE(fx.ReadFile("bom.txt"), "\xEF\xBB\xBF" + QStringLiteral("截面\n").toUtf8());
}

void EditorTest::UndecodableBytesAreReportedOnce() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    // A lone 0xFF is neither UTF-8 nor GB18030.
    fx.WriteFile("bad.txt", "abc\xFF\n");
    CModalRecorder boxes;
    CMyeditDoc* doc = fx.App().OpenAsText(fx.Path("bad.txt"));
    QVERIFY(doc);
    QCOMPARE(boxes.texts.size(), 1);
    QVERIFY(doc->Text()->toPlainText().startsWith(QStringLiteral("abc")));
}

void EditorTest::PasteInsertsOnlyPlainText() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    CMyeditDoc* doc = fx.App().OnFileNew();
    CMyeditView* view = ViewOf(doc);
    view->insertPlainText(QStringLiteral("前后"));
    view->moveCursor(QTextCursor::Start);
    view->moveCursor(QTextCursor::NextCharacter);
    const QTextCharFormat around = view->textCursor().charFormat();

    auto* rich = new QMimeData;
    rich->setHtml(
        QStringLiteral("<span style=\"color:#ff0000;font-size:30pt\"><b>粗体</b></span>"));
    rich->setText(QStringLiteral("粗体"));
    QApplication::clipboard()->setMimeData(rich);
    QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);

    QCOMPARE(doc->Text()->toPlainText(), QStringLiteral("前粗体后"));
    QTextCursor pasted(doc->Text());
    pasted.setPosition(2);
    QCOMPARE(pasted.charFormat(), around);
    const QMimeData* now = QApplication::clipboard()->mimeData();
    QVERIFY(now->hasText());
    QVERIFY(!now->hasHtml());
    QCOMPARE(now->text(), QStringLiteral("粗体"));

    // The menu's paste goes the same way.
    fx.Frame().Action(ID_EDIT_PASTE)->trigger();
    QCOMPARE(doc->Text()->toPlainText(), QStringLiteral("前粗体粗体后"));
}

void EditorTest::FindNextAndReplaceAll() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    CMyeditDoc* doc = fx.App().OnFileNew();
    CMyeditView* view = ViewOf(doc);
    const QString text = QStringLiteral("荷载 1\n荷载 2\n荷载组合 3\n");
    view->insertPlainText(text);
    view->moveCursor(QTextCursor::Start);
    CGuiFixture::Settle();

    FindState& last = CFindReplaceDialog::LastSearch();
    last = FindState();
    last.text = QStringLiteral("荷载");
    fx.Frame().Action(ID_EDIT_REPEAT)->trigger();
    QCOMPARE(view->textCursor().selectionStart(), 0);
    fx.Frame().Action(ID_EDIT_REPEAT)->trigger();
    QCOMPARE(view->textCursor().selectionStart(), 5);

    QCOMPARE(view->ReplaceAll(QStringLiteral("荷载"), QStringLiteral("荷载工况"), false, false), 3);
    QCOMPARE(doc->Text()->toPlainText(),
             QStringLiteral("荷载工况 1\n荷载工况 2\n荷载工况组合 3\n"));
    view->undo();  // one step undoes the whole replacement
    QCOMPARE(doc->Text()->toPlainText(), text);

    last.text = QStringLiteral("不存在");
    CModalRecorder boxes;
    QVERIFY(!CFindReplaceDialog::FindNext(view));
    QCOMPARE(boxes.texts, QStringList{QStringLiteral("找不到“不存在”")});
}

void EditorTest::PrintsToAPdfFile() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    CMyeditDoc* doc = fx.App().OpenAsText(ExamplePath());
    QVERIFY(doc);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(fx.Path("print.pdf"));
    ViewOf(doc)->PrintTo(&printer);
    QVERIFY(fx.ReadFile("print.pdf").startsWith("%PDF"));
    QVERIFY(!doc->IsModified());
}

void EditorTest::ReplaceDialogActsOnTheActiveEditor() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    CMyeditDoc* doc = fx.App().OnFileNew();
    ViewOf(doc)->insertPlainText(QStringLiteral("E = 3.45e10\nE = 3.45e10\n"));
    CGuiFixture::Settle();
    fx.Frame().Action(ID_EDIT_REPLACE)->trigger();
    CFindReplaceDialog* dialog = nullptr;
    for (auto* d : fx.Frame().findChildren<CFindReplaceDialog*>())
        if (d->IsReplace() && d->isVisible()) dialog = d;
    QVERIFY(dialog);
    const QList<QLineEdit*> fields = dialog->findChildren<QLineEdit*>();
    QCOMPARE(fields.size(), 2);
    fields[0]->setText(QStringLiteral("3.45e10"));
    fields[1]->setText(QStringLiteral("3.25e10"));
    QPushButton* all = nullptr;
    for (auto* b : dialog->findChildren<QPushButton*>())
        if (b->text() == QStringLiteral("全部替换(&A)")) all = b;
    QVERIFY(all);
    all->click();
    QCOMPARE(doc->Text()->toPlainText(), QStringLiteral("E = 3.25e10\nE = 3.25e10\n"));
    QCOMPARE(CFindReplaceDialog::LastSearch().replaceWith, QStringLiteral("3.25e10"));
}

void EditorTest::ExitAsksForEachChangedText() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    fx.WriteFile("m.fem", kSmallModel);
    QVERIFY(fx.App().OpenDocumentFile(fx.Path("m.fem")));
    fx.App().OnFileNew();
    ViewOf(fx.App().OnFileNew())->insertPlainText(QStringLiteral("changed"));
    {
        CModalRecorder cancel(QMessageBox::Cancel);
        QVERIFY(!fx.Frame().close());
        QCOMPARE(cancel.texts, QStringList{QStringLiteral("将改动保存到 Edit2？")});
        CGuiFixture::Settle();
        QCOMPARE(fx.Frame().Children().size(), 3);  // nothing closed
        QVERIFY(QFileInfo::exists(fx.Path("m.1")));
    }
    CModalRecorder no(QMessageBox::No);
    QVERIFY(fx.Frame().close());
    CGuiFixture::Settle();
    QCOMPARE(no.texts.size(), 1);
    QVERIFY(fx.Frame().Children().isEmpty());
    // The result document went with the rest, and its scratch files with it.
    QVERIFY(!QFileInfo::exists(fx.Path("m.1")));
    QVERIFY(QFileInfo::exists(fx.Path("m.out")));
}

QTEST_MAIN(EditorTest)
#include "EditorTest.moc"
