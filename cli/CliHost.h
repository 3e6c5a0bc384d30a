// The batch tool's host: messages to stderr, status text only when asked for.
#pragma once

#include "platform/Host.h"

class CCliHost : public CHost {
public:
    explicit CCliHost(bool showStatus = false) : m_showStatus(showStatus) {}
    void Message(const std::string& text, const std::string& detail) override;
    void Status(const std::string& text) override;

private:
    bool m_showStatus;
};
