// Opening files: the open rule, the analysis run of a result document and its failures,
// File > New, the menus that follow the active child, the recent-file list, the command line.
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressDialog>
#include <QTextDocument>
#include <QTimer>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "GuiTestSupport.h"
#include "ModelGenerator.h"
#include "app/ChildFrame.h"
#include "app/Commands.h"
#include "app/MainFrame.h"
#include "app/MorvexApp.h"
#include "app/MorvexDoc.h"
#include "app/MyeditDoc.h"

class DocumentsTest : public QObject {
    Q_OBJECT
private slots:
    void OpenRuleLooksAtTheLastThreeCharacters();
    void MissingDataFileShowsOneMessageAndOpensNothing();
    void DataFileWithAnErrorShowsOneMessageAndOpensNothing();
    void NewGivesNumberedTextDocuments();
    void MenuBarFollowsTheActiveChild();
    void ResultDocumentOpensItsFilesAsText();
    void ClosingAResultDocumentRemovesItsScratchFiles();
    void RecentFileListKeepsFourNewestFirst();
    void CommandLineOpensTheFileOrEndsTheProgram();
    void DroppedFilesOpenByTheSameRule();
    void ClosingWaitsForARunningComputation();
    void StoppingTheAnalysisOfALargeModelOpensNothing();
    void ALargeTextFileOpensWithProgressAndCanBeStopped();
};

namespace {

// Presses 取消 of the progress window as soon as it shows that the work has got somewhere,
// looking every period milliseconds while it lives.
struct CCancelWhenMoved {
    explicit CCancelWhenMoved(int period) {
        QObject::connect(&watch, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible() || pressed) return;
            largest = std::max(largest, dialog->value());
            if (dialog->value() <= 0) return;
            for (QPushButton* button : dialog->findChildren<QPushButton*>())
                if (button->text() == QStringLiteral("取消")) button->click(), pressed = true;
        });
        watch.start(period);
    }
    QTimer watch;
    bool pressed = false;
    int largest = 0;
};

QStringList MenuTitles(CMainFrame& frame) {
    QStringList titles;
    for (QAction* a : frame.menuBar()->actions()) titles << a->text();
    return titles;
}

}  // namespace

void DocumentsTest::OpenRuleLooksAtTheLastThreeCharacters() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    fx.WriteFile("BRIDGE.FEM", kSmallModel);
    fx.WriteFile("fem", kSmallModel);
    fx.WriteFile("bridge.out", "results\n");
    fx.WriteFile("notes.txt", "a note\n");
    CModalRecorder boxes;

    CDocument* upper = fx.App().OpenDocumentFile(fx.Path("BRIDGE.FEM"));
    QVERIFY(qobject_cast<CMorvexDoc*>(upper));
    // The result file is named from the data file without its extension, whatever its case.
    QVERIFY(QFileInfo::exists(fx.Path("BRIDGE.out")));
    QVERIFY(qobject_cast<CMorvexDoc*>(fx.App().OpenDocumentFile(fx.Path("fem"))));
    QVERIFY(qobject_cast<CMyeditDoc*>(fx.App().OpenDocumentFile(fx.Path("bridge.out"))));
    QVERIFY(qobject_cast<CMyeditDoc*>(fx.App().OpenDocumentFile(fx.Path("notes.txt"))));
    // Opening a file twice gives a second document (and a second analysis).
    QVERIFY(fx.App().OpenDocumentFile(fx.Path("BRIDGE.FEM")) != upper);
    QCOMPARE(fx.Frame().Children().size(), 5);
    QVERIFY(boxes.texts.isEmpty());
}

void DocumentsTest::MissingDataFileShowsOneMessageAndOpensNothing() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    CModalRecorder boxes;
    QVERIFY(!fx.App().OpenDocumentFile(fx.Path("nothing.fem")));
    QCOMPARE(boxes.texts, QStringList{QStringLiteral("文件不存在！")});
    QVERIFY(fx.Frame().Children().isEmpty());
    QVERIFY(!QFileInfo::exists(fx.Path("nothing.out")));
}

void DocumentsTest::DataFileWithAnErrorShowsOneMessageAndOpensNothing() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    // The control line promises three nodes, the file ends after two.
    fx.WriteFile("short.fem", "3 2 0 1 1 1 1 0\n1 0 0 0 0\n2 5 0 0 0\n");
    CModalRecorder boxes;
    QVERIFY(!fx.App().OpenDocumentFile(fx.Path("short.fem")));
    QCOMPARE(boxes.texts.size(), 1);
    QVERIFY(!boxes.texts[0].isEmpty());
    QVERIFY(fx.Frame().Children().isEmpty());
    QCOMPARE(fx.Frame().CurrentMenu(), int(CMainFrame::kMenuNoDocument));
    QVERIFY(fx.App().RecentFiles().isEmpty());
}

void DocumentsTest::NewGivesNumberedTextDocuments() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    fx.Frame().Action(ID_FILE_NEW)->trigger();
    fx.Frame().Action(ID_FILE_NEW)->trigger();
    CGuiFixture::Settle();
    const QList<CChildFrame*> children = fx.Frame().Children();
    QCOMPARE(children.size(), 2);
    QStringList titles;
    for (CChildFrame* c : children) {
        QVERIFY(qobject_cast<CMyeditDoc*>(c->Document()));
        titles << c->Document()->Title();
    }
    QCOMPARE(titles, (QStringList{QStringLiteral("Edit1"), QStringLiteral("Edit2")}));
    QCOMPARE(fx.Frame().CurrentMenu(), int(CMainFrame::kMenuText));
}

void DocumentsTest::MenuBarFollowsTheActiveChild() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    QCOMPARE(MenuTitles(fx.Frame()), (QStringList{"文件(&F)", "查看(&V)", "帮助(&H)"}));

    fx.WriteFile("m.fem", kSmallModel);
    CDocument* result = fx.App().OpenDocumentFile(fx.Path("m.fem"));
    QVERIFY(result);
    CGuiFixture::Settle();
    QCOMPARE(MenuTitles(fx.Frame()),
             (QStringList{"文件(&F)", "计算(&J)", "查看(&V)", "窗口(&W)", "帮助(&H)"}));
    QVERIFY(fx.Frame().Action(ID_EDIT_DATA)->isEnabled());
    QVERIFY(!fx.Frame().Action(ID_FILE_SAVE)->isEnabled());

    fx.App().OnFileNew();
    CGuiFixture::Settle();
    QCOMPARE(MenuTitles(fx.Frame()),
             (QStringList{"文件(&F)", "编辑(&E)", "查看(&V)", "窗口(&W)", "帮助(&H)"}));
    QVERIFY(fx.Frame().Action(ID_FILE_SAVE)->isEnabled());
    QVERIFY(!fx.Frame().Action(ID_EDIT_DATA)->isEnabled());

    fx.Frame().MdiArea()->setActiveSubWindow(result->Frames().first());
    CGuiFixture::Settle();
    QCOMPARE(fx.Frame().CurrentMenu(), int(CMainFrame::kMenuResult));

    // Closing the last window brings back the menu without documents.
    for (CChildFrame* c : fx.Frame().Children()) QVERIFY(c->close());
    CGuiFixture::Settle();
    QCOMPARE(fx.Frame().CurrentMenu(), int(CMainFrame::kMenuNoDocument));
    QCOMPARE(MenuTitles(fx.Frame()).size(), 3);
}

void DocumentsTest::ResultDocumentOpensItsFilesAsText() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    fx.WriteFile("girder.fem", kSmallModel);
    fx.WriteFile("dynamic_load.txt", "0.05 0.05\n");
    auto* doc = qobject_cast<CMorvexDoc*>(fx.App().OpenDocumentFile(fx.Path("girder.fem")));
    QVERIFY(doc);
    QCOMPARE(doc->Engine()->m_nNodes, 3);
    CGuiFixture::Settle();

    for (int id : {ID_EDIT_DATA, ID_VIEW_RESULT, ID_DYNAMIC_LOAD_EDIT}) {
        fx.Frame().MdiArea()->setActiveSubWindow(doc->Frames().first());
        CGuiFixture::Settle();
        fx.Frame().Action(id)->trigger();
    }
    CGuiFixture::Settle();

    QStringList opened;
    for (CChildFrame* c : fx.Frame().Children()) {
        if (auto* text = qobject_cast<CMyeditDoc*>(c->Document())) {
            opened << QFileInfo(text->PathName()).fileName();
            QCOMPARE(text->Text()->toPlainText().toUtf8(), fx.ReadFile(opened.last()));
        }
    }
    QCOMPARE(opened, (QStringList{"girder.fem", "girder.out", "dynamic_load.txt"}));
}

void DocumentsTest::ClosingAResultDocumentRemovesItsScratchFiles() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    fx.WriteFile("m.fem", kSmallModel);
    auto* doc = qobject_cast<CMorvexDoc*>(fx.App().OpenDocumentFile(fx.Path("m.fem")));
    QVERIFY(doc);
    QVERIFY(QFileInfo::exists(fx.Path("m.1")));
    QVERIFY(QFileInfo::exists(fx.Path("m.stf")));
    QVERIFY(QFileInfo::exists(fx.Path("m_huozai.txt")));

    // A second window on the same document keeps it (and its engine) alive.
    fx.Frame().Action(ID_WINDOW_NEW)->trigger();
    QCOMPARE(doc->Frames().size(), 2);
    QVERIFY(doc->Frames().first()->close());
    QVERIFY(QFileInfo::exists(fx.Path("m.1")));

    QVERIFY(doc->Frames().first()->close());
    CGuiFixture::Settle();
    QVERIFY(!QFileInfo::exists(fx.Path("m.1")));
    QVERIFY(!QFileInfo::exists(fx.Path("m.stf")));
    QVERIFY(!QFileInfo::exists(fx.Path("m_huozai.txt")));
    QVERIFY(QFileInfo::exists(fx.Path("m.out")));
    QVERIFY(QFileInfo::exists(fx.Path("m_工况_1.out")));
}

void DocumentsTest::RecentFileListKeepsFourNewestFirst() {
    QString settingsDir;
    {
        CGuiFixture fx;
        QVERIFY(fx.Start());
        for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"}) {
            fx.WriteFile(name, name);
            QVERIFY(fx.App().OpenDocumentFile(fx.Path(name)));
        }
        fx.App().OpenDocumentFile(fx.Path("c.txt"));
        const QStringList expected = {fx.Path("c.txt"), fx.Path("e.txt"), fx.Path("d.txt"),
                                      fx.Path("b.txt")};
        QCOMPARE(fx.App().RecentFiles(), expected);

        // The list survives a restart through the settings store.
        for (CChildFrame* c : fx.Frame().Children()) c->close();
        fx.Start();
        QCOMPARE(fx.App().RecentFiles(), expected);

        // An entry that no longer opens leaves the list after its message.
        QVERIFY(QFile::remove(fx.Path("e.txt")));
        CModalRecorder boxes;
        fx.App().OnOpenRecentFile(1);
        QCOMPARE(boxes.texts.size(), 1);
        QCOMPARE(fx.App().RecentFiles(),
                 (QStringList{fx.Path("c.txt"), fx.Path("d.txt"), fx.Path("b.txt")}));
    }
}

void DocumentsTest::CommandLineOpensTheFileOrEndsTheProgram() {
    {
        CGuiFixture fx;
        QVERIFY(fx.Start());
        QVERIFY(fx.Frame().isMaximized());
        QVERIFY(fx.Frame().Children().isEmpty());
    }
    {
        CGuiFixture fx;
        CModalRecorder boxes;
        QVERIFY(!fx.Start({fx.Path("absent.fem")}));
        QCOMPARE(boxes.texts, QStringList{QStringLiteral("文件不存在！")});
    }
    {
        CGuiFixture fx;
        fx.WriteFile("m.fem", kSmallModel);
        QVERIFY(fx.Start({QStringLiteral("-p"), fx.Path("m.fem")}));
        QCOMPARE(fx.Frame().Children().size(), 1);
        QCOMPARE(fx.Frame().CurrentMenu(), int(CMainFrame::kMenuResult));
        // Opened before the frame was shown, the window still gets a usable size.
        QVERIFY(fx.Frame().Children().first()->width() >= fx.Frame().width() / 2);
    }
}

void DocumentsTest::DroppedFilesOpenByTheSameRule() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    fx.WriteFile("m.fem", kSmallModel);
    fx.WriteFile("notes.txt", "a note\n");
    QMimeData data;
    data.setUrls(
        {QUrl::fromLocalFile(fx.Path("m.fem")), QUrl::fromLocalFile(fx.Path("notes.txt"))});
    const QPoint at = fx.Frame().rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&fx.Frame(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&fx.Frame(), &drop);
    const QList<CChildFrame*> children = fx.Frame().Children();
    QCOMPARE(children.size(), 2);
    QVERIFY(qobject_cast<CMorvexDoc*>(children[0]->Document()));
    QVERIFY(qobject_cast<CMyeditDoc*>(children[1]->Document()));
}

void DocumentsTest::ClosingWaitsForARunningComputation() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    fx.WriteFile("m.fem", kSmallModel);
    auto* doc = qobject_cast<CMorvexDoc*>(fx.App().OpenDocumentFile(fx.Path("m.fem")));
    QVERIFY(doc);
    CPlaneFrame* engine = doc->Engine();
    // Stands in for the natural-vibration worker: runs until told to stop, then takes a
    // moment to finish before it clears m_busy.
    std::atomic<bool> finished{false};
    engine->m_busy = 1;
    std::thread worker([engine, &finished] {
        while (engine->m_keepRunning != 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        finished = true;
        engine->m_busy = 0;
    });
    QVERIFY(doc->Frames().first()->close());
    // The close returned only after the worker had finished; the engine is gone.
    QVERIFY(finished);
    QVERIFY(!doc->Engine());
    worker.join();
    QVERIFY(!QFileInfo::exists(fx.Path("m.1")));
}

void DocumentsTest::StoppingTheAnalysisOfALargeModelOpensNothing() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    // 10^5 elements: seconds of analysis, far longer than the wait before the progress window.
    fx.WriteFile("big.fem", QByteArray::fromStdString(GirderModel(10000, 10, 5)));
    fx.WriteFile("big.out", "old results\n");
    fx.WriteFile("big_工况_1.out", "old case\n");
    CModalRecorder boxes;
    CCancelWhenMoved cancel(20);
    QVERIFY(!fx.App().OpenDocumentFile(fx.Path("big.fem")));
    QVERIFY(cancel.pressed);
    QVERIFY(cancel.largest > 0);
    QVERIFY(fx.App().LastOpenCancelled());
    QCOMPARE(boxes.texts, QStringList{QStringLiteral("静力分析已取消，原有结果文件未改变")});
    QVERIFY(fx.Frame().Children().isEmpty());
    QVERIFY(!fx.App().RecentFiles().contains(fx.Path("big.fem")));
    // The old results as they were, and nothing of the stopped run beside them.
    QCOMPARE(fx.ReadFile("big.out"), QByteArray("old results\n"));
    QCOMPARE(fx.ReadFile("big_工况_1.out"), QByteArray("old case\n"));
    QCOMPARE(QDir(fx.Path(".")).entryList({QStringLiteral("big*")}, QDir::Files, QDir::Name),
             (QStringList{QStringLiteral("big.fem"), QStringLiteral("big.out"),
                          QStringLiteral("big_工况_1.out")}));
    // The program goes on: the next file opens.
    fx.WriteFile("m.fem", kSmallModel);
    QVERIFY(fx.App().OpenDocumentFile(fx.Path("m.fem")));
    QCOMPARE(fx.Frame().Children().size(), 1);
}

void DocumentsTest::ALargeTextFileOpensWithProgressAndCanBeStopped() {
    CGuiFixture fx;
    QVERIFY(fx.Start());
    // About 9 MB of result lines with Chinese text: more than two pieces of the editor.
    QByteArray bytes;
    for (int k = 0; bytes.size() < 9'000'000; ++k)
        bytes += QStringLiteral("%1  单元内力  N=%2e+003  M=%3\n")
                     .arg(k, 8)
                     .arg(k % 977 * 1.25, 0, 'f', 3)
                     .arg(-k * 0.5)
                     .toUtf8();
    fx.WriteFile("big.out", bytes);
    CModalRecorder boxes;
    {
        CCancelWhenMoved cancel(5);
        QVERIFY(!fx.App().OpenDocumentFile(fx.Path("big.out")));
        QVERIFY(cancel.pressed);
        QVERIFY(cancel.largest > 0 && cancel.largest < 100);
    }
    QVERIFY(fx.App().LastOpenCancelled());
    QVERIFY(fx.Frame().Children().isEmpty());
    QCOMPARE(fx.Frame().PaneText(0), QStringLiteral("已取消打开big.out"));
    QVERIFY(boxes.texts.isEmpty());

    // Left alone, the pieces make the whole text, as one piece would.
    auto* doc = qobject_cast<CMyeditDoc*>(fx.App().OpenDocumentFile(fx.Path("big.out")));
    QVERIFY(doc);
    QTextDocument whole;
    whole.setPlainText(QString::fromUtf8(bytes));
    QCOMPARE(doc->Text()->blockCount(), whole.blockCount());
    QVERIFY(doc->Text()->toPlainText() == whole.toPlainText());
    QVERIFY(!doc->IsModified());
    QVERIFY(!doc->Text()->isUndoAvailable());
    QCOMPARE(fx.Frame().Children().size(), 1);
}

QTEST_MAIN(DocumentsTest)
#include "DocumentsTest.moc"
