#include "view/qt/ExtractResponseDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

CExtractResponseDialog::CExtractResponseDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral(" 提取变量动力响应数据"));
    nodeEdit = new QLineEdit(QString::number(m_node), this);
    directionList = new QListWidget(this);
    directionList->addItems(
        {QStringLiteral("水平位移"), QStringLiteral("竖直位移"), QStringLiteral("转角位移")});
    directionList->setCurrentRow(0);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("节点编号"), nodeEdit);
    form->addRow(QStringLiteral("变量指示"), directionList);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("提 取"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(QStringLiteral("取 消"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { TryAccept(); });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    showMessage = [this](const QString& text) {
        QMessageBox::warning(this, QStringLiteral("Morvex"), text);
    };
}

void CExtractResponseDialog::TryAccept() {
    m_direction = directionList->currentRow() < 0 ? 0 : directionList->currentRow();
    bool ok = false;
    const int node = nodeEdit->text().trimmed().toInt(&ok);
    if (!ok) {
        showMessage(QStringLiteral("请键入一个整数。"));
        return;
    }
    m_node = node;
    accept();
}
