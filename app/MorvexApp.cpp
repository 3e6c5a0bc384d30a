#include "app/MorvexApp.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QLibraryInfo>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QSettings>
#include <QUrl>

#include "app/AboutDialog.h"
#include "app/ChildFrame.h"
#include "app/Commands.h"
#include "app/MainFrame.h"
#include "app/MorvexDoc.h"
#include "app/MyeditDoc.h"
#include "app/MyeditView.h"
#include "platform/Host.h"
#include "view/qt/MorvexViewWidget.h"

namespace {

constexpr int kRecentFileCount = 4;
const char* const kRecentGroup = "Recent File List";

QString Absolute(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}

}  // namespace

CMorvexApp::CMorvexApp() = default;

CMorvexApp::~CMorvexApp() {
    // Windows first: closing them releases their documents (and the engines' scratch files).
    m_mainFrame.reset();
    SetHost(nullptr);
}

void CMorvexApp::InstallLanguageAndFonts() {
    // The framework's own texts (file dialog, standard buttons) in Simplified Chinese.
    if (m_qtTranslator.load(QStringLiteral("qtbase_zh_CN"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&m_qtTranslator);
    // Drawings and texts ask for the face "宋体"; the installed CJK fonts stand in for it.
    QFont::insertSubstitutions(QStringLiteral("宋体"), {QStringLiteral("Noto Serif CJK SC"),
                                                        QStringLiteral("Noto Sans CJK SC")});
}

bool CMorvexApp::InitInstance(const QStringList& arguments) {
    SetHost(&m_host);
    QCoreApplication::setOrganizationName(QStringLiteral("Morvex"));
    QCoreApplication::setApplicationName(QStringLiteral("Morvex"));
    InstallLanguageAndFonts();

    QSettings settings;
    settings.beginGroup(QString::fromUtf8(kRecentGroup));
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString path = settings.value(QStringLiteral("File%1").arg(i)).toString();
        if (!path.isEmpty()) m_recentFiles.append(path);
    }
    settings.endGroup();

    m_templates.clear();
    m_templates.emplace_back(
        129, QStringLiteral(
                 "\nMorvex\nMorvex\nMorvex 文件 (*.fem)\n.fem\nMorvex.Document\nMorvex Document"));
    m_templates.emplace_back(
        130, QStringLiteral("\nEdit\nEdit\n所有文件(*.*)\n\nEdit.Document\nEdit Document"));

    m_mainFrame = std::make_unique<CMainFrame>(*this);
    m_host.SetStatusSink(m_mainFrame->StatusSink());

    // One optional file name; options (print and other shell requests) are ignored.
    for (const QString& arg : arguments) {
        if (arg.startsWith(QLatin1Char('-'))) continue;
        if (!OpenDocumentFile(arg) && !m_lastOpenCancelled) return false;
        break;
    }
    m_mainFrame->showMaximized();
    return true;
}

CDocument* CMorvexApp::OpenDocumentFile(const QString& path) {
    const QString ext = path.right(3).toLower();
    return OpenWithType(
        ext == QStringLiteral("fem") ? QStringLiteral("Morvex") : QStringLiteral("Edit"), path);
}

CDocument* CMorvexApp::OpenWithType(const QString& typeName, const QString& path) {
    const CDocTemplate* type = nullptr;
    for (const CDocTemplate& t : m_templates)
        if (t.TypeName() == typeName) type = &t;
    if (!type || !m_mainFrame) {
        ShowMessageBox(QStringLiteral("打开文档失败。"), path);
        return nullptr;
    }
    const QString full = Absolute(path);
    m_lastOpenCancelled = false;
    if (type->ResourceId() == 129) {
        auto* doc = new CMorvexDoc;
        Adopt(doc);
        // The end of a natural-vibration analysis enables the mode graph in the menus.
        connect(doc, &CMorvexDoc::NaturalVibrationEnded, this, [this](bool ok, bool cancelled) {
            ShowStatus(ok ? "固有振动分析完毕" : cancelled ? "固有振动分析已取消" : "");
            if (m_mainFrame) m_mainFrame->UpdateCommands();
        });
        // The end of a dynamic response run: its message, and the windows see the new file.
        connect(doc, &CMorvexDoc::DynamicResponseEnded, this, [this, doc](bool ok, bool cancelled) {
            ShowStatus("");
            if (ok)
                ShowMessage("动力响应分析完成！");
            else if (cancelled)
                ShowMessage("动力响应分析已取消，已删除" + doc->Engine()->ResponsePath());
            else
                ShowMessage("动力响应未能顺利完成！");
            for (CChildFrame* child : doc->Frames())
                if (QWidget* view = child->View()) view->update();
            if (m_mainFrame) m_mainFrame->UpdateCommands();
        });
        if (!doc->OnOpenDocument(full)) {
            m_lastOpenCancelled = doc->OpenCancelled();
            delete doc;
            return nullptr;
        }
        CreateResultWindow(doc);
        AddToRecentFileList(full);
        return doc;
    }
    auto* doc = new CMyeditDoc;
    Adopt(doc);
    if (!doc->OnOpenDocument(full)) {
        m_lastOpenCancelled = doc->OpenCancelled();
        delete doc;
        return nullptr;
    }
    m_mainFrame->AddChild(doc, NewEditor(doc));
    AddToRecentFileList(full);
    return doc;
}

void CMorvexApp::Adopt(CDocument* doc) {
    doc->setParent(this);
    doc->SetDialogParent(m_mainFrame.get());
    connect(doc, &CDocument::OpenTextRequested, this, &CMorvexApp::OpenAsText);
    connect(doc, &CDocument::Written, this, &CMorvexApp::AddToRecentFileList);
}

CMyeditView* CMorvexApp::NewEditor(CMyeditDoc* doc) {
    auto* view = new CMyeditView(doc);
    view->SetPrinterSource([this] { return Printer(); });
    view->SetCommandSource([frame = m_mainFrame.get()](int id) { return frame->Action(id); });
    return view;
}

CMyeditDoc* CMorvexApp::OpenAsText(const QString& path) {
    return qobject_cast<CMyeditDoc*>(OpenWithType(QStringLiteral("Edit"), path));
}

CChildFrame* CMorvexApp::CreateResultWindow(CMorvexDoc* doc) {
    auto* view = new CMorvexViewWidget(*m_mainFrame);
    view->SetPrinterSource([this] { return Printer(); });
    view->SetDataFile(doc->PathName());
    view->SetCommandObserver(m_mainFrame->CommandObserver());
    view->View().SetDocument(doc);
    view->View().InitialUpdate(doc->Engine());
    return m_mainFrame->AddChild(doc, view);
}

CMyeditDoc* CMorvexApp::OnFileNew() {
    auto* doc = new CMyeditDoc;
    Adopt(doc);
    doc->OnNewDocument(++m_untitledCount);
    m_mainFrame->AddChild(doc, NewEditor(doc));
    return doc;
}

QStringList CMorvexApp::OpenFilters() {
    return {QStringLiteral("数据文件(*.fem)"), QStringLiteral("结果文件(*.out)"),
            QStringLiteral("文本文件(*.txt)"), QStringLiteral("所有文件(*.*)")};
}

QString CMorvexApp::AskFileName() {
    QFileDialog dialog(m_mainFrame.get(), QStringLiteral("打开"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(OpenFilters());
    dialog.selectNameFilter(OpenFilters().first());
    if (!m_recentFiles.isEmpty())
        dialog.setDirectory(QFileInfo(m_recentFiles.first()).absolutePath());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().first();
}

void CMorvexApp::OnFileOpen() {
    const QString path = AskFileName();
    if (!path.isEmpty()) OpenDocumentFile(path);
}

void CMorvexApp::OnOpenTextFile() {
    const QString path = AskFileName();
    if (!path.isEmpty()) OpenAsText(path);
}

void CMorvexApp::OnPrintSetup() {
    QPageSetupDialog dialog(Printer(), m_mainFrame.get());
    dialog.exec();
}

void CMorvexApp::OnHomepage() {
    if (!QDesktopServices::openUrl(QUrl(QString::fromUtf8(kHomepageUrl))))
        ShowMessageBox(QStringLiteral("打开网页出错!"));
}

void CMorvexApp::OnAppAbout() {
    CAboutDialog dialog(m_mainFrame.get());
    dialog.exec();
}

void CMorvexApp::OnOpenRecentFile(int index) {
    if (index < 0 || index >= m_recentFiles.size()) return;
    const QString path = m_recentFiles[index];
    // A file that no longer opens leaves the list, so the menu does not keep offering it; one
    // whose analysis the user stopped stays.
    if (!OpenDocumentFile(path) && !m_lastOpenCancelled) RemoveFromRecentFileList(path);
}

void CMorvexApp::AddToRecentFileList(const QString& path) {
    const QString full = Absolute(path);
    m_recentFiles.removeAll(full);
    m_recentFiles.prepend(full);
    while (m_recentFiles.size() > kRecentFileCount) m_recentFiles.removeLast();
    SaveRecentFiles();
}

void CMorvexApp::RemoveFromRecentFileList(const QString& path) {
    m_recentFiles.removeAll(path);
    SaveRecentFiles();
}

void CMorvexApp::SaveRecentFiles() const {
    QSettings settings;
    settings.beginGroup(QString::fromUtf8(kRecentGroup));
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString key = QStringLiteral("File%1").arg(i);
        if (i <= m_recentFiles.size())
            settings.setValue(key, m_recentFiles[i - 1]);
        else
            settings.remove(key);
    }
    settings.endGroup();
    if (m_mainFrame) m_mainFrame->UpdateRecentFiles(m_recentFiles);
}

QPrinter* CMorvexApp::Printer() {
    // A printer whose start failed stays active and refuses every later job, to a file too;
    // a fresh one with the same settings takes its place.
    if (m_printer && m_printer->printerState() != QPrinter::Idle) {
        auto fresh = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (!m_printer->printerName().isEmpty()) fresh->setPrinterName(m_printer->printerName());
        fresh->setPageLayout(m_printer->pageLayout());
        fresh->setCopyCount(m_printer->copyCount());
        if (m_printer->outputFormat() == QPrinter::PdfFormat) {
            fresh->setOutputFormat(QPrinter::PdfFormat);
            fresh->setOutputFileName(m_printer->outputFileName());
        }
        m_printer = std::move(fresh);
    }
    if (!m_printer) m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_printer.get();
}
