// A result file written under a scratch name in its own folder and renamed over the old
// file only when every byte has been written, so a full disk, an interrupted run or a
// failed analysis never leaves a damaged file and never destroys the previous good one.
#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

class CPendingReplacements;

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
    // Closes the scratch file and hands it to pending, which replaces path later together
    // with the other files of a run; failed = true discards it instead. False when it failed.
    bool CloseInto(CPendingReplacements& pending, bool failed = false);
    // Closes and removes the scratch file; path keeps what it had.
    void Discard();
    // Name of the scratch file while one is open (for tests and messages).
    const std::string& ScratchPath() const { return m_scratch; }

private:
    FILE* m_fp = nullptr;
    std::string m_path;
    std::string m_scratch;
};

// Finished scratch files of one run that replace their files together at its end, so a run
// stopped or failed before that leaves every old file as it was. Add may be called from
// several threads.
class CPendingReplacements {
public:
    CPendingReplacements() = default;
    // Files never committed are discarded.
    ~CPendingReplacements() { Discard(); }
    CPendingReplacements(const CPendingReplacements&) = delete;
    CPendingReplacements& operator=(const CPendingReplacements&) = delete;

    void Add(std::string scratch, std::string path);
    // Renames every scratch file over its path, in the order added; returns the first path
    // that could not be replaced (its scratch file removed), else an empty string.
    std::string Commit();
    // Removes every scratch file not yet committed.
    void Discard();

private:
    std::mutex m_mutex;
    std::vector<std::pair<std::string, std::string>> m_files;  // scratch, path
};

// True when path names a regular file or nothing, and a new file may be put there.
bool MayReplace(const std::string& path);
// Bytes free for an unprivileged writer in the folder of path; a huge value when unknown.
double FreeBytesBeside(const std::string& path);
