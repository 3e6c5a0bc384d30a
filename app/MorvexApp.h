// The application object: start-up, the document types, the open rule and the
// application commands.
#pragma once

#include <QObject>
#include <QStringList>
#include <QTranslator>
#include <memory>
#include <vector>

#include "app/GuiHost.h"

class CChildFrame;
class CDocument;
class CMainFrame;
class CMorvexDoc;
class CMyeditDoc;
class CMyeditView;
class QPrinter;

// A document type: its resource id and its type string, whose fields are separated by "\n".
class CDocTemplate {
public:
    CDocTemplate(int resourceId, const QString& typeString)
        : m_resourceId(resourceId), m_typeString(typeString) {}
    int ResourceId() const { return m_resourceId; }
    const QString& TypeString() const { return m_typeString; }
    // The second field: "Morvex" for result documents, "Edit" for text documents.
    QString TypeName() const { return m_typeString.section(QLatin1Char('\n'), 1, 1); }

private:
    int m_resourceId;
    QString m_typeString;
};

// Owns the main frame and the documents; there is one per process.
class CMorvexApp : public QObject {
    Q_OBJECT
public:
    CMorvexApp();
    ~CMorvexApp() override;

    // Start-up: settings, document types, main frame, the file named on the command line,
    // the maximised window. False when the program must end (a failed open of that file; an
    // analysis the user stopped leaves the program running without it).
    bool InitInstance(const QStringList& arguments);

    CMainFrame* MainFrame() const { return m_mainFrame.get(); }
    const std::vector<CDocTemplate>& DocTemplates() const { return m_templates; }

    // The open rule: a path whose last three characters, lower-cased, are "fem" opens as a
    // result document, every other path as a text document. nullptr after a failure.
    CDocument* OpenDocumentFile(const QString& path);
    // Whether the last open ended because the user stopped its analysis (not a failure).
    bool LastOpenCancelled() const { return m_lastOpenCancelled; }
    // Opens path with the document type of that type name (a new document each time).
    CDocument* OpenWithType(const QString& typeName, const QString& path);
    // Opens path as a text document whatever its extension.
    CMyeditDoc* OpenAsText(const QString& path);
    // Takes a new document: owns it, answers its requests (open a text file, remember a
    // written file) and gives it the frame as the parent of its dialogs.
    void Adopt(CDocument* doc);
    // A new editor on doc, printing on the shared printer, its context menu running the
    // frame's commands.
    CMyeditView* NewEditor(CMyeditDoc* doc);
    // A further window on an open result document.
    CChildFrame* CreateResultWindow(CMorvexDoc* doc);

    // File > New: an empty untitled text document (Edit1, Edit2 ...).
    CMyeditDoc* OnFileNew();
    // File > Open: the open dialog, then the open rule.
    void OnFileOpen();
    // The open dialog, then the file always as text.
    void OnOpenTextFile();
    void OnPrintSetup();
    // Opens the product homepage in the desktop's browser.
    void OnHomepage();
    void OnAppAbout();
    void OnOpenRecentFile(int index);

    // The recent-file list, newest first, at most 4 entries, kept in the settings store.
    QStringList RecentFiles() const { return m_recentFiles; }
    void AddToRecentFileList(const QString& path);

    // The printer shared by print, print preview and print set-up.
    QPrinter* Printer();

    // The filters of the open dialog.
    static QStringList OpenFilters();

private:
    QString AskFileName();
    void RemoveFromRecentFileList(const QString& path);
    void SaveRecentFiles() const;
    void InstallLanguageAndFonts();

    CGuiHost m_host;
    std::vector<CDocTemplate> m_templates;
    std::unique_ptr<CMainFrame> m_mainFrame;
    std::unique_ptr<QPrinter> m_printer;
    QTranslator m_qtTranslator;
    QStringList m_recentFiles;
    int m_untitledCount = 0;
    bool m_lastOpenCancelled = false;
};
