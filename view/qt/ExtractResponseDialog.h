// The dialog of the time-history extraction: node number and displacement component.
#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;
class QListWidget;

// Dialog " 提取变量动力响应数据": node number (1-based) and the component (0 horizontal,
// 1 vertical, 2 rotation). "提 取" accepts only an integer node number.
class CExtractResponseDialog : public QDialog {
public:
    explicit CExtractResponseDialog(QWidget* parent = nullptr);

    // The "提 取" button: accepts an integer node number or says why not.
    void TryAccept();

    int m_node = 0;
    int m_direction = 0;
    QLineEdit* nodeEdit;
    QListWidget* directionList;
    // Shows a refusal; a message box unless replaced (tests record it instead).
    std::function<void(const QString&)> showMessage;
};
