// The element-group dialog: first element, last element and increment of the diagrams.
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <functional>

#include "view/ViewFrame.h"

// Dialog "单元组选择". OK accepts only integers and an increment of at least 1; otherwise
// it shows the reason and stays open.
class CElementGroupDialog : public QDialog {
public:
    CElementGroupDialog(int nElements, const CElementGroup& initial, QWidget* parent = nullptr);

    // The fields as entered (valid after the dialog was accepted).
    CElementGroup Fields() const { return m_fields; }
    // The "全部" button: the whole structure, step 1.
    void FillAll();
    // The OK button: accepts the fields or shows why not.
    void TryAccept();

    QLineEdit* firstEdit;
    QLineEdit* lastEdit;
    QLineEdit* stepEdit;
    // Shows a refusal; a message box unless replaced (tests record it instead).
    std::function<void(const QString&)> showMessage;

private:
    int m_nElements;
    CElementGroup m_fields;
};
