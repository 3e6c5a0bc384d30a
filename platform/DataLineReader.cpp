#include "platform/DataLineReader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

CDataLineReader::~CDataLineReader() {
    Close();
}

bool CDataLineReader::Open(const std::string& path) {
    Close();
    m_fp = std::fopen(path.c_str(), "rb");
    // A folder opens but reads as empty: it is a file that cannot be opened, not a short one.
    struct stat st {};
    if (m_fp && (::fstat(::fileno(m_fp), &st) != 0 || S_ISDIR(st.st_mode))) {
        std::fclose(m_fp);
        m_fp = nullptr;
    }
    m_size = m_fp ? static_cast<long long>(st.st_size) : 0;
    m_first = true;
    m_bufPos = m_bufLen = 0;
    m_rawLine = m_dataLine = 0;
    m_tooLong = false;
    return m_fp != nullptr;
}

void CDataLineReader::OpenText(std::string text) {
    Close();
    m_text = std::move(text);
    m_textPos = 0;
    m_size = static_cast<long long>(m_text.size());
    m_fromText = true;
    m_first = true;
    m_rawLine = m_dataLine = 0;
    m_tooLong = false;
}

void CDataLineReader::Close() {
    if (m_fp) std::fclose(m_fp);
    m_fp = nullptr;
    m_fromText = false;
    m_text.clear();
}

double CDataLineReader::Fraction() const {
    if (m_size <= 0) return 0;
    long long done = static_cast<long long>(m_textPos);
    if (m_fp) {
        const long long at = std::ftell(m_fp);
        if (at < 0) return 0;
        done = at - static_cast<long long>(m_bufLen - m_bufPos);
    }
    return std::clamp(static_cast<double>(done) / static_cast<double>(m_size), 0.0, 1.0);
}

bool CDataLineReader::RawLine(std::string& line) {
    line.clear();
    if (m_tooLong) return false;
    ++m_rawLine;
    if (m_fromText) {
        if (m_textPos >= m_text.size()) return false;
        size_t end = m_text.find('\n', m_textPos);
        if (end == std::string::npos) end = m_text.size();
        if (end - m_textPos > kMaxLineBytes + 1) {
            m_tooLong = true;
            return false;
        }
        line.assign(m_text, m_textPos, end - m_textPos);
        m_textPos = end + 1;
    } else {
        if (!m_fp) return false;
        bool any = false;
        for (;;) {
            if (m_bufPos == m_bufLen) {
                m_bufLen = std::fread(m_buf, 1, sizeof m_buf, m_fp);
                m_bufPos = 0;
                if (m_bufLen == 0) break;
            }
            any = true;
            const char* start = m_buf + m_bufPos;
            const void* nl = std::memchr(start, '\n', m_bufLen - m_bufPos);
            const size_t n = nl ? static_cast<size_t>(static_cast<const char*>(nl) - start)
                                : m_bufLen - m_bufPos;
            // +1 for a "\r" before the line end.
            if (line.size() + n > kMaxLineBytes + 1) {
                m_tooLong = true;
                return false;
            }
            line.append(start, n);
            m_bufPos += nl ? n + 1 : n;
            if (nl) break;
        }
        if (!any) return false;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (m_first) {
        m_first = false;
        if (line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
    }
    return true;
}

std::string_view CDataLineReader::TrimLeft(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n' ||
                            s[i] == '\v' || s[i] == '\f'))
        ++i;
    return s.substr(i);
}

bool CDataLineReader::IsDataLine(std::string_view trimmed) {
    if (trimmed.empty()) return false;
    const unsigned char c = static_cast<unsigned char>(trimmed[0]);
    return c >= 43 && c <= 57;
}

bool CDataLineReader::Next(std::string& line) {
    std::string raw;
    while (RawLine(raw)) {
        std::string_view t = TrimLeft(raw);
        if (IsDataLine(t)) {
            line.assign(t);
            m_dataLine = m_rawLine;
            return true;
        }
    }
    if (m_tooLong) m_dataLine = m_rawLine;
    line.clear();
    return false;
}

void CFieldScanner::SkipSpace() {
    while (m_pos < m_text.size() &&
           (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' || m_text[m_pos] == '\r' ||
            m_text[m_pos] == '\n' || m_text[m_pos] == '\v' || m_text[m_pos] == '\f'))
        ++m_pos;
}

void CFieldScanner::SkipField() {
    while (m_pos < m_text.size() && m_text[m_pos] != ' ' && m_text[m_pos] != '\t' &&
           m_text[m_pos] != '\r' && m_text[m_pos] != '\n' && m_text[m_pos] != '\v' &&
           m_text[m_pos] != '\f')
        ++m_pos;
    SkipSpace();
}

namespace {

// Copies a numeric token to a terminated buffer so that strtol/strtod never read past the
// line (the view is not terminated).
std::string Token(std::string_view text, size_t pos) {
    size_t end = pos;
    while (end < text.size() && end - pos < 512) {
        const char c = text[end];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f') break;
        ++end;
    }
    return std::string(text.substr(pos, end - pos));
}

}  // namespace

bool CFieldScanner::NextInteger(long long& value, bool& outOfRange) {
    if (!m_ok) return false;
    SkipSpace();
    const std::string tok = Token(m_text, m_pos);
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(tok.c_str(), &end, 10);
    if (end == tok.c_str()) {
        m_ok = false;
        return false;
    }
    outOfRange = errno == ERANGE;
    m_pos += static_cast<size_t>(end - tok.c_str());
    ++m_count;
    return true;
}

CFieldScanner& CFieldScanner::Int(int& value) {
    long long v;
    bool outOfRange;
    if (NextInteger(v, outOfRange))
        value = static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
    return *this;
}

CFieldScanner& CFieldScanner::UInt(unsigned& value) {
    long long v;
    bool outOfRange;
    // Like %u: a minus sign wraps the value, so -1 becomes a huge number that every range
    // check rejects.
    if (NextInteger(v, outOfRange)) {
        if (outOfRange || v > static_cast<long long>(UINT_MAX) ||
            v < -static_cast<long long>(UINT_MAX))
            value = UINT_MAX;
        else
            value = static_cast<unsigned>(v);
    }
    return *this;
}

std::string_view CFieldScanner::InvalidNumber(std::string_view line) {
    constexpr char kSpace[] = " \t\r\n\v\f";
    size_t pos = line.find_first_not_of(kSpace);
    while (pos != std::string_view::npos) {
        size_t end = line.find_first_of(kSpace, pos);
        if (end == std::string_view::npos) end = line.size();
        const std::string_view tok = line.substr(pos, end - pos);
        std::string_view word = tok;
        if (!word.empty() && (word[0] == '+' || word[0] == '-')) word.remove_prefix(1);
        const char c0 = word.empty() ? '\0' : word[0];
        if ((c0 >= '0' && c0 <= '9') || c0 == '.') {
            if (tok.size() > 512) return tok;
            const std::string copy(tok);
            char* stop = nullptr;
            const double v = std::strtod(copy.c_str(), &stop);
            if (stop != copy.c_str() && !std::isfinite(v)) return tok;
        } else {
            // strtod's words for the values no data file may hold.
            std::string lower;
            for (char c : word.substr(0, 9))
                lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
            if (lower == "nan" || lower == "inf" || lower == "infinity" ||
                lower.compare(0, 4, "nan(") == 0)
                return tok;
        }
        pos = line.find_first_not_of(kSpace, end);
    }
    return {};
}

CFieldScanner& CFieldScanner::Double(double& value) {
    if (!m_ok) return *this;
    SkipSpace();
    const std::string tok = Token(m_text, m_pos);
    // Only decimal numbers: words such as "nan" or "inf" count as a missing field.
    const char c0 = tok.empty() ? '\0' : tok[0];
    const char c1 = tok.size() > 1 ? tok[1] : '\0';
    const bool numeric = (c0 >= '0' && c0 <= '9') || c0 == '.' ||
                         ((c0 == '+' || c0 == '-') && ((c1 >= '0' && c1 <= '9') || c1 == '.'));
    char* end = nullptr;
    double v = numeric ? std::strtod(tok.c_str(), &end) : 0.0;
    if (!numeric || end == tok.c_str() || !std::isfinite(v)) {
        m_ok = false;
        return *this;
    }
    value = v;
    m_pos += static_cast<size_t>(end - tok.c_str());
    ++m_count;
    return *this;
}
