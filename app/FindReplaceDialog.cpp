#include "app/FindReplaceDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/MyeditView.h"

namespace {

void NotFound(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Morvex"),
                    QStringLiteral("找不到“%1”").arg(text), QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace

CFindReplaceDialog::CFindReplaceDialog(bool replace, std::function<CMyeditView*()> activeEditor,
                                       QWidget* parent)
    : QDialog(parent), m_replace(replace), m_activeEditor(std::move(activeEditor)) {
    setWindowTitle(replace ? QStringLiteral("替换") : QStringLiteral("查找"));
    m_find = new QLineEdit(this);
    m_matchCase = new QCheckBox(QStringLiteral("区分大小写(&C)"), this);
    m_wholeWord = new QCheckBox(QStringLiteral("全字匹配(&W)"), this);
    m_findNext = new QPushButton(QStringLiteral("查找下一个(&F)"), this);
    m_findNext->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);

    auto* fields = new QGridLayout;
    // With its field as buddy a label shows its access key underlined instead of "&N".
    auto* findLabel = new QLabel(QStringLiteral("查找内容(&N):"), this);
    findLabel->setBuddy(m_find);
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(m_find, 0, 1);
    if (replace) {
        m_with = new QLineEdit(this);
        auto* withLabel = new QLabel(QStringLiteral("替换为(&P):"), this);
        withLabel->setBuddy(m_with);
        fields->addWidget(withLabel, 1, 0);
        fields->addWidget(m_with, 1, 1);
    }
    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    auto* options = new QHBoxLayout;
    auto* checks = new QVBoxLayout;
    checks->addWidget(m_wholeWord);
    checks->addWidget(m_matchCase);
    options->addLayout(checks);
    if (!replace) {
        auto* direction = new QGroupBox(QStringLiteral("方向"), this);
        m_up = new QRadioButton(QStringLiteral("向上(&U)"), direction);
        auto* down = new QRadioButton(QStringLiteral("向下(&D)"), direction);
        down->setChecked(true);
        auto* dl = new QHBoxLayout(direction);
        dl->addWidget(m_up);
        dl->addWidget(down);
        options->addWidget(direction);
    }
    left->addLayout(options);
    left->addStretch();

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_findNext);
    if (replace) {
        auto* one = new QPushButton(QStringLiteral("替换(&R)"), this);
        auto* all = new QPushButton(QStringLiteral("全部替换(&A)"), this);
        buttons->addWidget(one);
        buttons->addWidget(all);
        connect(one, &QPushButton::clicked, this, &CFindReplaceDialog::OnReplace);
        connect(all, &QPushButton::clicked, this, &CFindReplaceDialog::OnReplaceAll);
    }
    buttons->addWidget(cancel);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    // Tab goes from the search text to the replacement, then through options and buttons.
    QWidget* previous = m_find;
    for (QWidget* next : std::initializer_list<QWidget*>{m_with, m_wholeWord, m_matchCase, m_up}) {
        if (!next) continue;
        setTabOrder(previous, next);
        previous = next;
    }
    setTabOrder(previous, m_findNext);

    connect(m_findNext, &QPushButton::clicked, this, &CFindReplaceDialog::OnFindNext);
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
    connect(m_find, &QLineEdit::textChanged, this,
            [this](const QString& t) { m_findNext->setEnabled(!t.isEmpty()); });
    m_findNext->setEnabled(false);
}

FindState& CFindReplaceDialog::LastSearch() {
    static FindState state;
    return state;
}

void CFindReplaceDialog::Prepare(CMyeditView* view) {
    const FindState& last = LastSearch();
    QString text = last.text;
    // A one-line selection is what the user most likely wants to find.
    if (view && view->textCursor().hasSelection()) {
        const QString sel = view->textCursor().selectedText();
        if (!sel.contains(QChar::ParagraphSeparator)) text = sel;
    }
    m_find->setText(text);
    m_find->selectAll();
    if (m_with) m_with->setText(last.replaceWith);
    m_matchCase->setChecked(last.matchCase);
    m_wholeWord->setChecked(last.wholeWord);
    if (m_up) m_up->setChecked(last.backward);
    m_find->setFocus();
}

void CFindReplaceDialog::Store() {
    FindState& last = LastSearch();
    last.text = m_find->text();
    if (m_with) last.replaceWith = m_with->text();
    last.matchCase = m_matchCase->isChecked();
    last.wholeWord = m_wholeWord->isChecked();
    last.backward = m_up ? m_up->isChecked() : false;
}

CMyeditView* CFindReplaceDialog::ActiveView() const {
    return m_activeEditor ? m_activeEditor() : nullptr;
}

bool CFindReplaceDialog::FindNext(CMyeditView* view) {
    const FindState& last = LastSearch();
    if (!view || last.text.isEmpty()) return false;
    if (view->Find(last.text, last.matchCase, last.wholeWord, last.backward)) return true;
    NotFound(view, last.text);
    return false;
}

void CFindReplaceDialog::OnFindNext() {
    Store();
    FindNext(ActiveView());
}

void CFindReplaceDialog::OnReplace() {
    Store();
    CMyeditView* view = ActiveView();
    if (!view) return;
    const FindState& last = LastSearch();
    if (!view->Replace(last.text, last.replaceWith, last.matchCase, last.wholeWord))
        NotFound(this, last.text);
}

void CFindReplaceDialog::OnReplaceAll() {
    Store();
    CMyeditView* view = ActiveView();
    if (!view) return;
    const FindState& last = LastSearch();
    // An empty replacement deletes every occurrence: that is asked first.
    if (last.replaceWith.isEmpty()) {
        QMessageBox ask(QMessageBox::Question, QStringLiteral("Morvex"),
                        QStringLiteral("替换为空：要删除所有的“%1”吗？").arg(last.text),
                        QMessageBox::Yes | QMessageBox::No, this);
        ask.setDefaultButton(QMessageBox::No);
        ask.button(QMessageBox::Yes)->setText(QStringLiteral("是"));
        ask.button(QMessageBox::No)->setText(QStringLiteral("否"));
        if (ask.exec() != QMessageBox::Yes) return;
    }
    if (view->ReplaceAll(last.text, last.replaceWith, last.matchCase, last.wholeWord) == 0)
        NotFound(this, last.text);
}
