#include "view/qt/LiveLoadTypeDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

#include "liveload/LiveLoad.h"

CLiveLoadTypeDialog::CLiveLoadTypeDialog(int type, const DesignLoadOptions& design, QWidget* parent)
    : QDialog(parent), m_design(design) {
    setWindowTitle(QStringLiteral("Dialog"));
    list = new QListWidget(this);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int t = 0; t < kLiveLoadTypes; ++t)
        list->addItem(QString::fromUtf8(LiveLoadDialogName(t)));
    if (type >= 0 && type < kLiveLoadTypes) list->setCurrentRow(type);

    designBox =
        new QGroupBox(QStringLiteral("设计荷载参数（公路-I级、公路-II级、车辆荷载）"), this);
    spanEdit = new QLineEdit(this);
    spanEdit->setPlaceholderText(QStringLiteral("自动（支承间最大距离）"));
    if (design.span > 0) spanEdit->setText(QString::number(design.span, 'g', 12));
    impactBox = new QComboBox(this);
    impactBox->addItems({QStringLiteral("不计"), QStringLiteral("按结构基频自动计算"),
                         QStringLiteral("给定基频 f (Hz)"), QStringLiteral("给定冲击系数 μ")});
    impactBox->setCurrentIndex(static_cast<int>(design.impact));
    impactEdit = new QLineEdit(this);
    if (design.impact == DesignLoadOptions::kFrequency || design.impact == DesignLoadOptions::kMu)
        impactEdit->setText(QString::number(design.impactValue, 'g', 12));
    lanesBox = new QSpinBox(this);
    lanesBox->setRange(0, 8);
    lanesBox->setSpecialValueText(QStringLiteral("不计（单列荷载）"));
    lanesBox->setValue(design.lanes);
    distributionEdit = new QLineEdit(QString::number(design.distribution, 'g', 12), this);
    auto* form = new QFormLayout(designBox);
    form->addRow(QStringLiteral("计算跨径 L0 (m)"), spanEdit);
    form->addRow(QStringLiteral("冲击系数"), impactBox);
    form->addRow(QStringLiteral("基频或 μ"), impactEdit);
    form->addRow(QStringLiteral("设计车道数"), lanesBox);
    form->addRow(QStringLiteral("横向分布系数"), distributionEdit);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { TryAccept(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // A double click chooses the type, as the list of a dialog usually lets one.
    connect(list, &QListWidget::itemDoubleClicked, this, [this] { TryAccept(); });
    connect(list, &QListWidget::itemSelectionChanged, this, [this] { FollowSelection(); });
    connect(impactBox, &QComboBox::currentIndexChanged, this, [this] { FollowSelection(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("活载类型"), this));
    layout->addWidget(list);
    layout->addWidget(designBox);
    layout->addWidget(buttons);
    showMessage = [this](const QString& text) {
        QMessageBox::warning(this, QStringLiteral("Morvex"), text);
    };
    FollowSelection();
}

int CLiveLoadTypeDialog::Type() const {
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.first());
}

void CLiveLoadTypeDialog::FollowSelection() {
    // The options belong to the design loads only; the value field to a given f or mu.
    designBox->setEnabled(IsDesignLoadType(Type()));
    impactEdit->setEnabled(impactBox->currentIndex() >= 2);
}

QString CLiveLoadTypeDialog::ReadDesign(DesignLoadOptions& design) const {
    design = DesignLoadOptions{};
    bool ok = true;
    const QString span = spanEdit->text().trimmed();
    if (!span.isEmpty()) {
        design.span = span.toDouble(&ok);
        if (!ok || !(design.span > 0) || !std::isfinite(design.span))
            return QStringLiteral("计算跨径应为大于0的数（米），或留空自动确定。");
    }
    const QString value = impactEdit->text().trimmed();
    std::string option;
    switch (impactBox->currentIndex()) {
        case 1:
            option = "auto";
            break;
        case 2:
            option = value.toStdString();
            break;
        case 3:
            option = "mu=" + value.toStdString();
            break;
        default:
            break;
    }
    const bool read = option.empty() || ParseImpactOption(option, design);
    const auto wanted = static_cast<DesignLoadOptions::Impact>(impactBox->currentIndex());
    if (!read || design.impact != wanted)
        return impactBox->currentIndex() == 2 ? QStringLiteral("基频应为大于0的数（Hz）。")
                                              : QStringLiteral("冲击系数 μ 应在0～10之间。");
    design.lanes = lanesBox->value();
    design.distribution = distributionEdit->text().trimmed().toDouble(&ok);
    if (!ok || !(design.distribution > 0) || !std::isfinite(design.distribution))
        return QStringLiteral("横向分布系数应为大于0的数。");
    return QString();
}

void CLiveLoadTypeDialog::TryAccept() {
    // Options of the older types are not read: they keep what they were.
    if (IsDesignLoadType(Type())) {
        DesignLoadOptions design;
        const QString refusal = ReadDesign(design);
        if (!refusal.isEmpty()) {
            showMessage(refusal);
            return;
        }
        m_design = design;
    }
    accept();
}
