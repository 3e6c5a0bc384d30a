// The batch tool's host: messages to stderr, status text only when asked for.
#pragma once

#include "platform/Host.h"

class CCliHost : public CHost {
public:
    explicit CCliHost(bool showStatus = false) : m_showStatus(showStatus) {}
    void Message(const std::string& text, const std::string& detail) override;
    void Status(const std::string& text) override;
    // Messages printed so far by any batch-tool host, so that a command adds no guess of its
    // own after the program has said what went wrong.
    static int MessagesShown();

private:
    bool m_showStatus;
};
