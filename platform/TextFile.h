// Buffered text output that remembers whether every write reached the file.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

class CTextOut {
public:
    CTextOut() = default;
    ~CTextOut() { Close(); }
    CTextOut(const CTextOut&) = delete;
    CTextOut& operator=(const CTextOut&) = delete;

    // mode "w" creates or truncates, "a" appends.
    bool Open(const std::string& path, const char* mode = "w");
    bool IsOpen() const { return m_fp != nullptr; }
    const std::string& Path() const { return m_path; }

    void Printf(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    void Write(std::string_view text);
    // Flushes and closes; false when the file was never opened or any write failed.
    bool Close();
    bool Failed() const { return m_failed; }

private:
    void Flush();

    FILE* m_fp = nullptr;
    std::string m_path;
    std::string m_buf;
    bool m_failed = false;
};

// Whole-file helpers.
bool ReadWholeFile(const std::string& path, std::string& text);
bool WriteWholeFile(const std::string& path, std::string_view text);
bool FileExists(const std::string& path);
// An auxiliary file of a model (user_hz.txt, dynamic_load.txt): the one beside the data file
// whose path without extension is dataFileBase when it is there, else name itself, in the
// working directory.
std::string SideFilePath(const std::string& dataFileBase, const std::string& name);
// The folder of a path ("" for a bare name).
std::string FolderOf(const std::string& path);
void RemoveFile(const std::string& path);
