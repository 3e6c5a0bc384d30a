#include "platform/TextFile.h"

#include <sys/stat.h>
#include <cstdarg>

#include "platform/Format.h"

namespace {
constexpr size_t kFlushSize = 1 << 16;
}

bool CTextOut::Open(const std::string& path, const char* mode) {
    Close();
    m_path = path;
    m_failed = false;
    if (mode[0] == 'a') {
        m_fp = std::fopen(path.c_str(), "ab");
    } else if (m_replacing.Open(path)) {
        m_fp = m_replacing.Stream();
    }
    if (!m_fp) m_failed = true;
    return m_fp != nullptr;
}

void CTextOut::Printf(const char* fmt, ...) {
    if (!m_fp) return;
    va_list ap;
    va_start(ap, fmt);
    AppendFormatV(m_buf, fmt, ap);
    va_end(ap);
    if (m_buf.size() >= kFlushSize) Flush();
}

void CTextOut::Write(std::string_view text) {
    if (!m_fp) return;
    m_buf.append(text);
    if (m_buf.size() >= kFlushSize) Flush();
}

void CTextOut::Flush() {
    if (!m_fp || m_buf.empty()) return;
    if (std::fwrite(m_buf.data(), 1, m_buf.size(), m_fp) != m_buf.size()) m_failed = true;
    m_buf.clear();
}

bool CTextOut::Close() {
    if (!m_fp) return false;
    Flush();
    if (m_replacing.IsOpen()) {
        if (!m_replacing.Commit(m_failed)) m_failed = true;
    } else if (std::fclose(m_fp) != 0) {
        m_failed = true;
    }
    m_fp = nullptr;
    return !m_failed;
}

bool CTextOut::CloseInto(CPendingReplacements& pending) {
    if (!m_replacing.IsOpen()) return Close();  // appended in place: nothing to wait for
    Flush();
    if (!m_replacing.CloseInto(pending, m_failed)) m_failed = true;
    m_fp = nullptr;
    return !m_failed;
}

void CTextOut::Discard() {
    if (m_replacing.IsOpen())
        m_replacing.Discard();
    else if (m_fp)
        std::fclose(m_fp);
    m_fp = nullptr;
    m_buf.clear();
}

bool ReadWholeFile(const std::string& path, std::string& text) {
    text.clear();
    FILE* fp = std::fopen(path.c_str(), "rb");
    if (!fp) return false;
    char buf[1 << 16];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, fp)) > 0) text.append(buf, n);
    const bool ok = !std::ferror(fp);
    std::fclose(fp);
    return ok;
}

bool WriteWholeFile(const std::string& path, std::string_view text) {
    CReplacingFile file;
    if (!file.Open(path)) return false;
    const bool failed = std::fwrite(text.data(), 1, text.size(), file.Stream()) != text.size();
    return file.Commit(failed);
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void RemoveFile(const std::string& path) {
    std::remove(path.c_str());
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string SideFilePath(const std::string& dataFileBase, const std::string& name) {
    const std::string folder = FolderOf(dataFileBase);
    if (!folder.empty() && FileExists(folder + name)) return folder + name;
    return name;
}
