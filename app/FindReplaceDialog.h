// The editor's find and replace dialogs.
#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class CMyeditView;

// What was last searched for, so that find next (F3) can repeat it.
struct FindState {
    QString text;
    QString replaceWith;
    bool matchCase = false;
    bool wholeWord = false;
    bool backward = false;
};

// A modeless find dialog, or with replace a replace dialog, acting on the active editor.
class CFindReplaceDialog : public QDialog {
    Q_OBJECT
public:
    // activeEditor names the editor the dialog acts on (nullptr when none is active).
    CFindReplaceDialog(bool replace, std::function<CMyeditView*()> activeEditor, QWidget* parent);
    bool IsReplace() const { return m_replace; }
    // Fills the fields from the last search and the editor's selection.
    void Prepare(CMyeditView* view);

    // The state of the last search, shared by both dialogs and F3.
    static FindState& LastSearch();
    // Finds the last searched text again in view; tells the user when it is not there.
    static bool FindNext(CMyeditView* view);

private:
    void Store();
    CMyeditView* ActiveView() const;
    void OnFindNext();
    void OnReplace();
    void OnReplaceAll();

    bool m_replace;
    QLineEdit* m_find;
    QLineEdit* m_with = nullptr;
    QCheckBox* m_matchCase;
    QCheckBox* m_wholeWord;
    QRadioButton* m_up = nullptr;
    QPushButton* m_findNext;
    std::function<CMyeditView*()> m_activeEditor;
};
