#include "platform/Host.h"

#include <atomic>
#include <cstdio>

namespace {

class CStderrHost : public CHost {
public:
    void Message(const std::string& text, const std::string& detail) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        if (!detail.empty()) std::fprintf(stderr, "%s\n", detail.c_str());
    }
    void Status(const std::string&) override {}
};

CStderrHost g_stderrHost;
std::atomic<CHost*> g_host{nullptr};
thread_local const CMessageDetail* t_detail = nullptr;

}  // namespace

void SetHost(CHost* host) {
    g_host.store(host);
}

CHost& Host() {
    CHost* h = g_host.load();
    return h ? *h : g_stderrHost;
}

void ShowMessage(const std::string& text, const std::string& detail) {
    if (detail.empty() && t_detail) {
        Host().Message(text, t_detail->Detail());
        return;
    }
    Host().Message(text, detail);
}

CMessageDetail::CMessageDetail(Source source, const void* context)
    : m_source(source), m_context(context), m_outer(t_detail) {
    t_detail = this;
}

CMessageDetail::~CMessageDetail() {
    t_detail = m_outer;
}

void ShowStatus(const std::string& text) {
    Host().Status(text);
}
