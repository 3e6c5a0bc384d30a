// Shared helpers of the GUI tests: a started program in a scratch directory, and a
// recorder that answers the modal boxes the program shows.
#pragma once

#include <QDialog>
#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

class CMorvexApp;
class CMainFrame;

// Watches for modal message boxes while it lives; records each text and detail and
// presses the button given (OK unless told otherwise).
class CModalRecorder : public QObject {
    Q_OBJECT
public:
    explicit CModalRecorder(QMessageBox::StandardButton answer = QMessageBox::Ok);
    QStringList texts;
    QStringList details;
    QList<QMessageBox::Icon> icons;

private:
    void Poll();
    QTimer m_timer;
    QMessageBox::StandardButton m_answer;
};

// The program started without a file, in a fresh working directory with its own settings.
class CGuiFixture {
public:
    CGuiFixture();
    ~CGuiFixture();
    // Starts the program with these command-line arguments; false as InitInstance says.
    bool Start(const QStringList& arguments = {});
    CMorvexApp& App() { return *m_app; }
    CMainFrame& Frame();
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    void WriteFile(const QString& name, const QByteArray& bytes) const;
    QByteArray ReadFile(const QString& name) const;
    // Lets deferred updates (menu switching after an activation) run.
    static void Settle();

private:
    QTemporaryDir m_dir;
    QString m_oldDir;
    std::unique_ptr<CMorvexApp> m_app;
};

// A three-node frame that reads and solves: two elements, a fixed support, one load case.
extern const char* const kSmallModel;
// The bundled example's path.
QString ExamplePath();
