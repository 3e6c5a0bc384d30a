#include "platform/ReplacingFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "platform/Format.h"

namespace {
std::atomic<unsigned> g_counter{0};
}

bool MayReplace(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return errno == ENOENT;
    // A file the user made read-only stays as it is, as it did when files were overwritten
    // in place.
    return S_ISREG(st.st_mode) && ::access(path.c_str(), W_OK) == 0;
}

bool CReplacingFile::Open(const std::string& path) {
    Discard();
    if (path.empty() || path.back() == '/' || !MayReplace(path)) return false;
    struct stat old {};
    const bool hadOld = ::stat(path.c_str(), &old) == 0;
    // Several writers (threads of one run, or several runs) may replace files of one folder
    // at once: the process id and a counter keep their scratch names apart.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string scratch = FormatString("%s.%ld-%u.part", path.c_str(),
                                           static_cast<long>(::getpid()), g_counter.fetch_add(1));
        const int fd = ::open(scratch.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        if (hadOld) (void)::fchmod(fd, old.st_mode & 07777);
        m_fp = ::fdopen(fd, "wb");
        if (!m_fp) {
            ::close(fd);
            ::unlink(scratch.c_str());
            return false;
        }
        m_path = path;
        m_scratch = std::move(scratch);
        return true;
    }
    return false;
}

bool CReplacingFile::Commit(bool failed) {
    if (!m_fp) return false;
    if (std::fflush(m_fp) != 0) failed = true;
    if (std::fclose(m_fp) != 0) failed = true;
    m_fp = nullptr;
    if (!failed && std::rename(m_scratch.c_str(), m_path.c_str()) == 0) {
        m_scratch.clear();
        return true;
    }
    ::unlink(m_scratch.c_str());
    m_scratch.clear();
    return false;
}

bool CReplacingFile::CloseInto(CPendingReplacements& pending, bool failed) {
    if (!m_fp) return false;
    if (std::fflush(m_fp) != 0) failed = true;
    if (std::fclose(m_fp) != 0) failed = true;
    m_fp = nullptr;
    if (failed) {
        ::unlink(m_scratch.c_str());
    } else {
        pending.Add(m_scratch, m_path);
    }
    m_scratch.clear();
    return !failed;
}

void CPendingReplacements::Add(std::string scratch, std::string path) {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_files.emplace_back(std::move(scratch), std::move(path));
}

std::string CPendingReplacements::Commit() {
    std::lock_guard<std::mutex> guard(m_mutex);
    std::string failed;
    for (const auto& [scratch, path] : m_files) {
        if (std::rename(scratch.c_str(), path.c_str()) == 0) continue;
        ::unlink(scratch.c_str());
        if (failed.empty()) failed = path;
    }
    m_files.clear();
    return failed;
}

void CPendingReplacements::Discard() {
    std::lock_guard<std::mutex> guard(m_mutex);
    for (const auto& file : m_files) ::unlink(file.first.c_str());
    m_files.clear();
}

void CReplacingFile::Discard() {
    if (m_fp) std::fclose(m_fp);
    m_fp = nullptr;
    if (!m_scratch.empty()) ::unlink(m_scratch.c_str());
    m_scratch.clear();
}

double FreeBytesBeside(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    struct statvfs st {};
    if (::statvfs(folder.c_str(), &st) != 0) return 1e300;
    return static_cast<double>(st.f_bavail) * static_cast<double>(st.f_frsize);
}
