// The live-load type dialog of the envelope commands.
#pragma once

#include <QDialog>

class QListWidget;

// Dialog "Dialog" with the list "活载类型" of the eleven live-load types. OK gives the
// selected type, or -1 when none is selected.
class CLiveLoadTypeDialog : public QDialog {
public:
    // Opens with `type` selected when it is one of the types (0 ... 10).
    explicit CLiveLoadTypeDialog(int type, QWidget* parent = nullptr);

    // The selected type, -1 when none.
    int Type() const;

    QListWidget* list;
};
