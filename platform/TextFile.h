// Buffered text output that remembers whether every write reached the file. A file opened
// for writing replaces the old one only when it is closed complete.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "platform/ReplacingFile.h"

class CTextOut {
public:
    CTextOut() = default;
    // A file never closed was abandoned half-written: the old one stays.
    ~CTextOut() { Discard(); }
    CTextOut(const CTextOut&) = delete;
    CTextOut& operator=(const CTextOut&) = delete;

    // mode "w" writes a new file that replaces path on Close, "a" appends to path in place.
    bool Open(const std::string& path, const char* mode = "w");
    bool IsOpen() const { return m_fp != nullptr; }
    const std::string& Path() const { return m_path; }

    void Printf(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    void Write(std::string_view text);
    // Flushes and closes; false when the file was never opened or any write failed (a new
    // file then leaves the old one as it was).
    bool Close();
    // Flushes and closes a new file, which then replaces path when pending is committed;
    // false as Close says (the file is then not handed over).
    bool CloseInto(CPendingReplacements& pending);
    // Closes without replacing the old file (the run that wrote it failed).
    void Discard();
    bool Failed() const { return m_failed; }

private:
    void Flush();

    FILE* m_fp = nullptr;
    CReplacingFile m_replacing;  // open unless appending
    std::string m_path;
    std::string m_buf;
    bool m_failed = false;
};

// Whole-file helpers; WriteWholeFile replaces the file only when every byte was written.
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
