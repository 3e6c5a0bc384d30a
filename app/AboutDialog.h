// The about box.
#pragma once

#include <QDialog>

// Program icon, product name with version, and the credit line.
class CAboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDialog(QWidget* parent);
};

// The credit line of the about box, also the about command's status prompt.
QString CreditLine();
