#include "view/qt/ElementGroupDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "view/MorvexView.h"

CElementGroupDialog::CElementGroupDialog(int nElements, const CElementGroup& initial,
                                         QWidget* parent)
    : QDialog(parent), m_nElements(nElements), m_fields(initial) {
    setWindowTitle(QString::fromUtf8("单元组选择"));
    firstEdit = new QLineEdit(QString::number(initial.first), this);
    lastEdit = new QLineEdit(QString::number(initial.last), this);
    stepEdit = new QLineEdit(QString::number(initial.step), this);
    auto* form = new QFormLayout;
    form->addRow(QString::fromUtf8("起始单元"), firstEdit);
    form->addRow(QString::fromUtf8("末了单元"), lastEdit);
    form->addRow(QString::fromUtf8("增量单元"), stepEdit);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QString::fromUtf8("确定"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel =
        buttons->addButton(QString::fromUtf8("取消"), QDialogButtonBox::RejectRole);
    QPushButton* all = buttons->addButton(QString::fromUtf8("全部"), QDialogButtonBox::ResetRole);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { TryAccept(); });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
    connect(all, &QPushButton::clicked, this, [this] { FillAll(); });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    showMessage = [this](const QString& text) {
        QMessageBox::warning(this, QString::fromUtf8("Morvex"), text);
    };
}

void CElementGroupDialog::FillAll() {
    firstEdit->setText("1");
    lastEdit->setText(QString::number(m_nElements));
    stepEdit->setText("1");
}

void CElementGroupDialog::TryAccept() {
    bool ok1 = false, ok2 = false, ok3 = false;
    const CElementGroup fields{firstEdit->text().trimmed().toInt(&ok1),
                               lastEdit->text().trimmed().toInt(&ok2),
                               stepEdit->text().trimmed().toInt(&ok3)};
    if (!ok1 || !ok2 || !ok3) {
        showMessage(QString::fromUtf8("请键入一个整数。"));
        return;
    }
    const std::string refusal = CMorvexView::CheckElementGroupFields(fields);
    if (!refusal.empty()) {
        showMessage(QString::fromStdString(refusal));
        return;
    }
    m_fields = fields;
    accept();
}
