#include "platform/BinaryFile.h"

#include <bit>
#include <cstring>

static_assert(sizeof(double) == 8, "IEEE 754 doubles expected");

namespace {

constexpr size_t kFlushSize = 1 << 16;

template <typename T>
T ToLittle(T v) {
    if constexpr (std::endian::native == std::endian::little) {
        return v;
    } else {
        unsigned char b[sizeof(T)];
        std::memcpy(b, &v, sizeof(T));
        for (size_t i = 0; i < sizeof(T) / 2; ++i) std::swap(b[i], b[sizeof(T) - 1 - i]);
        std::memcpy(&v, b, sizeof(T));
        return v;
    }
}

}  // namespace

bool CBinaryOut::Open(const std::string& path) {
    Close();
    m_failed = false;
    m_buf.clear();
    m_fp = m_file.Open(path) ? m_file.Stream() : nullptr;
    return m_fp != nullptr;
}

void CBinaryOut::Put(const void* p, size_t n) {
    const auto* b = static_cast<const unsigned char*>(p);
    m_buf.insert(m_buf.end(), b, b + n);
    if (m_buf.size() >= kFlushSize) Flush();
}

void CBinaryOut::Int32(std::int32_t v) {
    v = ToLittle(v);
    Put(&v, sizeof v);
}

void CBinaryOut::Double(double v) {
    v = ToLittle(v);
    Put(&v, sizeof v);
}

void CBinaryOut::Doubles(const double* v, size_t count) {
    if constexpr (std::endian::native == std::endian::little) {
        Put(v, count * sizeof(double));
    } else {
        for (size_t i = 0; i < count; ++i) Double(v[i]);
    }
}

void CBinaryOut::Flush() {
    if (!m_fp || m_buf.empty()) return;
    if (std::fwrite(m_buf.data(), 1, m_buf.size(), m_fp) != m_buf.size()) m_failed = true;
    m_buf.clear();
}

bool CBinaryOut::Close() {
    if (!m_fp) return false;
    Flush();
    if (!m_file.Commit(m_failed)) m_failed = true;
    m_fp = nullptr;
    return !m_failed;
}

bool CBinaryOut::CloseInto(CPendingReplacements& pending) {
    if (!m_fp) return false;
    Flush();
    if (!m_file.CloseInto(pending, m_failed)) m_failed = true;
    m_fp = nullptr;
    return !m_failed;
}

void CBinaryOut::Discard() {
    m_file.Discard();
    m_fp = nullptr;
    m_buf.clear();
}

bool CBinaryIn::Open(const std::string& path) {
    Close();
    m_fp = std::fopen(path.c_str(), "rb");
    return m_fp != nullptr;
}

void CBinaryIn::Close() {
    if (m_fp) std::fclose(m_fp);
    m_fp = nullptr;
}

long long CBinaryIn::Size() const {
    if (!m_fp) return -1;
    const long pos = std::ftell(m_fp);
    if (std::fseek(m_fp, 0, SEEK_END) != 0) return -1;
    const long size = std::ftell(m_fp);
    std::fseek(m_fp, pos, SEEK_SET);
    return size;
}

bool CBinaryIn::Seek(long long offset) {
    return m_fp && std::fseek(m_fp, static_cast<long>(offset), SEEK_SET) == 0;
}

bool CBinaryIn::Int32(std::int32_t& v) {
    std::int32_t t;
    if (!m_fp || std::fread(&t, sizeof t, 1, m_fp) != 1) return false;
    v = ToLittle(t);
    return true;
}

bool CBinaryIn::Double(double& v) {
    double t;
    if (!m_fp || std::fread(&t, sizeof t, 1, m_fp) != 1) return false;
    v = ToLittle(t);
    return true;
}

bool CBinaryIn::Doubles(double* v, size_t count) {
    if (!m_fp || std::fread(v, sizeof(double), count, m_fp) != count) return false;
    if constexpr (std::endian::native != std::endian::little)
        for (size_t i = 0; i < count; ++i) v[i] = ToLittle(v[i]);
    return true;
}
