// The frame's windows and dialogs: the replace dialog's labels, tab order and the question
// before deleting every match; cascading, closing a maximised window, the window list's
// names; the icons of the message boxes.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include "GuiTestSupport.h"
#include "app/ChildFrame.h"
#include "app/Commands.h"
#include "app/FindReplaceDialog.h"
#include "app/GuiHost.h"
#include "app/MainFrame.h"
#include "app/MorvexApp.h"
#include "app/MorvexDoc.h"
#include "app/MyeditDoc.h"
#include "app/MyeditView.h"

class WindowsTest : public QObject {
    Q_OBJECT
private slots:
    void ReplaceDialogHasBuddiesTabOrderAndAsksBeforeDeleting();
    void CascadeAndCloseKeepWindowsUsable();
    void WindowListSaysWhichWindowIsWhich();
    void CompletionMessagesAreInformation();
};

namespace {

CMyeditView* ViewOf(CMyeditDoc* doc) {
    return qobject_cast<CMyeditView*>(doc->Frames().first()->View());
}

}  // namespace

void WindowsTest::ReplaceDialogHasBuddiesTabOrderAndAsksBeforeDeleting() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    CMyeditDoc* doc = fx.App().OnFileNew();
    ViewOf(doc)->insertPlainText(QStringLiteral("E = 3.45e-002\nA = 1.20e-002\n"));
    fx.Frame().Action(ID_EDIT_REPLACE)->trigger();
    CFindReplaceDialog* dialog = nullptr;
    for (auto* d : fx.Frame().findChildren<CFindReplaceDialog*>())
        if (d->IsReplace()) dialog = d;
    QVERIFY(dialog);
    const QList<QLineEdit*> fields = dialog->findChildren<QLineEdit*>();
    QCOMPARE(fields.size(), 2);
    QLineEdit* find = fields[0];
    QLineEdit* with = fields[1];
    // Both labels have their field as buddy, so "&N" and "&P" become access keys.
    int buddies = 0;
    for (QLabel* label : dialog->findChildren<QLabel*>())
        if (label->buddy() == find || label->buddy() == with) ++buddies;
    QCOMPARE(buddies, 2);
    // Tab from the search text goes to the replacement.
    QWidget* next = find->nextInFocusChain();
    while (next && !(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
    QCOMPARE(next, with);

    // Replace all with nothing asks first; "否" changes nothing.
    find->setText(QStringLiteral("e-002"));
    with->clear();
    QPushButton* all = nullptr;
    for (QPushButton* b : dialog->findChildren<QPushButton*>())
        if (b->text() == QStringLiteral("全部替换(&A)")) all = b;
    QVERIFY(all);
    const QString before = ViewOf(doc)->toPlainText();
    {
        CModalRecorder boxes(QMessageBox::No);
        all->click();
        QCOMPARE(boxes.texts.size(), 1);
        QVERIFY(boxes.texts[0].contains(QStringLiteral("e-002")));
    }
    QCOMPARE(ViewOf(doc)->toPlainText(), before);
    {
        CModalRecorder boxes(QMessageBox::Yes);
        all->click();
    }
    QCOMPARE(ViewOf(doc)->toPlainText(), QStringLiteral("E = 3.45\nA = 1.20\n"));
    // A replacement that is not empty needs no question.
    find->setText(QStringLiteral("3.45"));
    with->setText(QStringLiteral("3.50"));
    {
        CModalRecorder boxes;
        all->click();
        QVERIFY(boxes.texts.isEmpty());
    }
    QCOMPARE(ViewOf(doc)->toPlainText(), QStringLiteral("E = 3.50\nA = 1.20\n"));
}

void WindowsTest::CascadeAndCloseKeepWindowsUsable() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    fx.Frame().showNormal();
    fx.Frame().resize(1000, 800);
    CMyeditDoc* first = fx.App().OnFileNew();
    CGuiFixture::Settle();
    QMdiArea* area = fx.Frame().MdiArea();
    // One window: cascading leaves it a usable size, not a bare title bar.
    fx.Frame().Action(ID_WINDOW_CASCADE)->trigger();
    QMdiSubWindow* only = first->Frames().first();
    QVERIFY(only->height() > area->viewport()->height() / 2);
    QVERIFY(only->width() > area->viewport()->width() / 2);

    CMyeditDoc* second = fx.App().OnFileNew();
    CMyeditDoc* third = fx.App().OnFileNew();
    CGuiFixture::Settle();
    fx.Frame().Action(ID_WINDOW_CASCADE)->trigger();
    QVERIFY(first->Frames().first()->geometry().topLeft() !=
            second->Frames().first()->geometry().topLeft());
    // Closing a maximised window leaves the next one maximised.
    QMdiSubWindow* top = third->Frames().first();
    area->setActiveSubWindow(top);
    top->showMaximized();
    CGuiFixture::Settle();
    top->close();
    CGuiFixture::Settle();
    QTest::qWait(20);
    QVERIFY(area->activeSubWindow());
    QVERIFY(area->activeSubWindow()->isMaximized());
}

void WindowsTest::WindowListSaysWhichWindowIsWhich() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    const QString path = fx.Path("girder.fem");
    QVERIFY(QFile::copy(ExamplePath(), path));
    auto* doc = qobject_cast<CMorvexDoc*>(fx.App().OpenDocumentFile(path));
    QVERIFY(doc);
    doc->OnEditData();
    CGuiFixture::Settle();
    QMenu* window = nullptr;
    for (QAction* a : fx.Frame().menuBar()->actions())
        if (a->menu() && a->text() == QStringLiteral("窗口(&W)")) window = a->menu();
    QVERIFY(window);
    emit window->aboutToShow();
    QStringList entries;
    for (QAction* a : window->actions())
        if (a->text().contains(QStringLiteral("girder.fem"))) entries << a->text();
    QCOMPARE(entries.size(), 2);
    QVERIFY(entries[0] != entries[1]);
    QVERIFY(entries.join(' ').contains(QStringLiteral("结果")));
    QVERIFY(entries.join(' ').contains(QStringLiteral("文本")));
}

void WindowsTest::CompletionMessagesAreInformation() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    CModalRecorder boxes;
    for (const char* text :
         {"弯矩包络图计算完毕！", "动力响应分析完成！", "动力响应未能顺利完成！", "文件不存在！"})
        ShowMessage(text);
    QCOMPARE(boxes.icons,
             (QList<QMessageBox::Icon>{QMessageBox::Information, QMessageBox::Information,
                                       QMessageBox::Warning, QMessageBox::Warning}));
}

QTEST_MAIN(WindowsTest)
#include "WindowsTest.moc"
