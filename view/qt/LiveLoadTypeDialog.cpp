#include "view/qt/LiveLoadTypeDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "liveload/LiveLoad.h"

CLiveLoadTypeDialog::CLiveLoadTypeDialog(int type, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Dialog"));
    list = new QListWidget(this);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int t = 0; t < kLiveLoadTypes; ++t)
        list->addItem(QString::fromUtf8(LiveLoadDialogName(t)));
    if (type >= 0 && type < kLiveLoadTypes) list->setCurrentRow(type);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // A double click chooses the type, as the list of a dialog usually lets one.
    connect(list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("活载类型"), this));
    layout->addWidget(list);
    layout->addWidget(buttons);
}

int CLiveLoadTypeDialog::Type() const {
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.first());
}
