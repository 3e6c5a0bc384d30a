#include "cli/CliHost.h"

#include <atomic>
#include <cstdio>

namespace {
std::atomic<int> g_messages{0};
}

int CCliHost::MessagesShown() {
    return g_messages.load();
}

void CCliHost::Message(const std::string& text, const std::string& detail) {
    ++g_messages;
    std::fprintf(stderr, "%s\n", text.c_str());
    if (!detail.empty()) std::fprintf(stderr, "%s\n", detail.c_str());
    std::fflush(stderr);
}

void CCliHost::Status(const std::string& text) {
    if (!m_showStatus) return;
    std::fprintf(stderr, "\r%s", text.c_str());
    std::fflush(stderr);
}
