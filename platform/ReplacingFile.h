// A result file written under a scratch name in its own folder and renamed over the old
// file only when every byte has been written, so a full disk, an interrupted run or a
// failed analysis never leaves a damaged file and never destroys the previous good one.
#pragma once

#include <cstdio>
#include <string>

class CReplacingFile {
public:
    CReplacingFile() = default;
    ~CReplacingFile() { Discard(); }
    CReplacingFile(const CReplacingFile&) = delete;
    CReplacingFile& operator=(const CReplacingFile&) = delete;

    // Creates the scratch file beside path. False when it cannot be created, or when path
    // names something that may not be replaced (a folder, a file without write permission).
    bool Open(const std::string& path);
    bool IsOpen() const { return m_fp != nullptr; }
    FILE* Stream() const { return m_fp; }
    // Closes the scratch file and renames it over path; failed = true (a write went wrong)
    // discards it instead. False whenever path did not receive the new contents.
    bool Commit(bool failed = false);
    // Closes and removes the scratch file; path keeps what it had.
    void Discard();
    // Name of the scratch file while one is open (for tests and messages).
    const std::string& ScratchPath() const { return m_scratch; }

private:
    FILE* m_fp = nullptr;
    std::string m_path;
    std::string m_scratch;
};

// True when path names a regular file or nothing, and a new file may be put there.
bool MayReplace(const std::string& path);
// Bytes free for an unprivileged writer in the folder of path; a huge value when unknown.
double FreeBytesBeside(const std::string& path);
