// What the analysis core asks of the program that runs it.
#pragma once

#include <string>

// The host shows the core's messages and status texts. The window shows a message in a
// modal box; the batch tool prints it to stderr; tests record it.
class CHost {
public:
    virtual ~CHost() = default;
    // A failure or notice, with the text exactly as the program words it; detail is an
    // optional second line (for example the equation where a factorisation broke down).
    virtual void Message(const std::string& text, const std::string& detail) = 0;
    // Progress and status text (the window's status pane 0).
    virtual void Status(const std::string& text) = 0;
};

// Installs the host used by the core; nullptr restores the default, which prints to stderr.
void SetHost(CHost* host);
CHost& Host();

void ShowMessage(const std::string& text, const std::string& detail = std::string());

// While one is alive, a message shown on this thread without a detail gets the one its
// source gives: a reader names the file and line it had got to.
class CMessageDetail {
public:
    using Source = std::string (*)(const void* context);
    CMessageDetail(Source source, const void* context);
    ~CMessageDetail();
    CMessageDetail(const CMessageDetail&) = delete;
    CMessageDetail& operator=(const CMessageDetail&) = delete;
    std::string Detail() const { return m_source(m_context); }

private:
    Source m_source;
    const void* m_context;
    const CMessageDetail* m_outer;
};
void ShowStatus(const std::string& text);
