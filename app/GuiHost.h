// The desktop program's host for the analysis core.
#pragma once

#include <QString>
#include <functional>

#include "platform/Host.h"

// Shows each core message in one modal box with an OK button (the detail as the box's
// detail text) and writes status texts into pane 0 of the main frame's status bar.
class CGuiHost : public CHost {
public:
    // Where status texts go, called on the GUI thread (the frame's StatusSink()).
    void SetStatusSink(std::function<void(const QString&)> sink) { m_statusSink = std::move(sink); }
    void Message(const std::string& text, const std::string& detail) override;
    void Status(const std::string& text) override;

private:
    std::function<void(const QString&)> m_statusSink;
};

// True for the messages that report a finished computation (shown with the information icon).
bool IsCompletionMessage(const QString& text);
// Shows one modal message box with an OK button, the program's way of reporting a failure
// (with the warning icon) or a finished computation.
void ShowMessageBox(const QString& text, const QString& detail = QString());
