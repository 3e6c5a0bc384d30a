#include "app/GuiHost.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "app/MainFrame.h"

void ShowMessageBox(const QString& text, const QString& detail) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Morvex"), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    if (!detail.isEmpty()) box.setDetailedText(detail);
    box.exec();
}

void CGuiHost::Message(const std::string& text, const std::string& detail) {
    ShowMessageBox(QString::fromStdString(text), QString::fromStdString(detail));
}

void CGuiHost::Status(const std::string& text) {
    if (CMainFrame* frame = CMainFrame::Instance())
        frame->SetPaneText(0, QString::fromStdString(text));
}
