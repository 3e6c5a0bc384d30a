// An advisory lock on a file that keeps two processes from working on one model at once
// (they would write the same side files). Within one process a file may be locked any
// number of times: several windows of one program share their model's files on purpose.
#pragma once

#include <string>

class CFileLock {
public:
    CFileLock() = default;
    ~CFileLock() { Release(); }
    CFileLock(const CFileLock&) = delete;
    CFileLock& operator=(const CFileLock&) = delete;
    CFileLock(CFileLock&& other) noexcept;
    CFileLock& operator=(CFileLock&& other) noexcept;

    // False only when another process holds the lock; a file system without locks, or a
    // file that cannot be opened, is not a reason to refuse the work.
    bool Acquire(const std::string& path);
    void Release();
    bool Held() const { return m_held; }

private:
    unsigned long long m_device = 0, m_inode = 0;
    bool m_held = false;
};
