// The live-load type dialog of the envelope commands.
#pragma once

#include <QDialog>
#include <functional>

#include "liveload/DesignLoads.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QSpinBox;

// Dialog "Dialog" with the list "活载类型" of the live-load types and, for the design loads
// (types 11 to 13), their options: calculation span L0, impact factor (none, from the
// model's first frequency, from a given frequency, or mu itself), design lanes and the
// transverse distribution coefficient. OK gives the selected type (-1 when none) and the
// options; fields that are not numbers in range keep the dialog open with a message.
class CLiveLoadTypeDialog : public QDialog {
public:
    // Opens with `type` selected when it is one of the types (0 ... 13), and `design`.
    explicit CLiveLoadTypeDialog(int type, const DesignLoadOptions& design = {},
                                 QWidget* parent = nullptr);

    // The selected type, -1 when none.
    int Type() const;
    // The options as the fields give them; an empty text accepts them, otherwise it is
    // the message that keeps the dialog open.
    QString ReadDesign(DesignLoadOptions& design) const;
    // The options read when OK was accepted.
    const DesignLoadOptions& Design() const { return m_design; }

    QListWidget* list;
    QGroupBox* designBox;  // enabled for types 11 to 13
    QLineEdit* spanEdit;   // empty: L0 from the supports on the path
    QComboBox* impactBox;  // 0 none, 1 auto, 2 frequency, 3 mu
    QLineEdit* impactEdit;
    QSpinBox* lanesBox;  // 0: one line of loads without lane factors
    QLineEdit* distributionEdit;
    // Shows a refusal (a warning box; tests replace it).
    std::function<void(const QString&)> showMessage;

private:
    void TryAccept();
    void FollowSelection();
    DesignLoadOptions m_design;
};
