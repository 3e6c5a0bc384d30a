#include "platform/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <utility>

namespace {

// flock belongs to an open file, so a second open in this process would contend with the
// first: the process keeps one descriptor per locked file and counts its users.
struct Entry {
    int fd = -1;
    int users = 0;
};

std::mutex g_mutex;
std::map<std::pair<unsigned long long, unsigned long long>, Entry> g_locks;

}  // namespace

CFileLock::CFileLock(CFileLock&& other) noexcept {
    *this = std::move(other);
}

CFileLock& CFileLock::operator=(CFileLock&& other) noexcept {
    if (this != &other) {
        Release();
        m_device = other.m_device;
        m_inode = other.m_inode;
        m_held = other.m_held;
        other.m_held = false;
    }
    return *this;
}

bool CFileLock::Acquire(const std::string& path) {
    Release();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return true;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return true;
    }
    const auto key = std::make_pair(static_cast<unsigned long long>(st.st_dev),
                                    static_cast<unsigned long long>(st.st_ino));
    std::lock_guard<std::mutex> guard(g_mutex);
    auto it = g_locks.find(key);
    if (it != g_locks.end()) {
        ::close(fd);
        ++it->second.users;
    } else if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        g_locks[key] = Entry{fd, 1};
    } else {
        const bool busy = errno == EWOULDBLOCK;
        ::close(fd);
        return !busy;
    }
    m_device = key.first;
    m_inode = key.second;
    m_held = true;
    return true;
}

void CFileLock::Release() {
    if (!m_held) return;
    m_held = false;
    std::lock_guard<std::mutex> guard(g_mutex);
    auto it = g_locks.find(std::make_pair(m_device, m_inode));
    if (it == g_locks.end() || --it->second.users > 0) return;
    ::close(it->second.fd);  // closing the last descriptor releases the lock
    g_locks.erase(it);
}
