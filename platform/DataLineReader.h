// The line rule shared by every text input, and sscanf-like field reading.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// Reads the data lines of a text file: leading white space is removed, and a line counts
// only when it then starts with one of + , - . / or a digit. Other lines (headings,
// comments in any script, blank lines) are skipped. Lines may be of any length and end in
// \n or \r\n up to kMaxLineBytes; a UTF-8 byte-order mark at the start is ignored.
class CDataLineReader {
public:
    // A longer line (a file without line ends, a device) ends the reading with TooLong().
    static constexpr size_t kMaxLineBytes = 1 << 20;

    CDataLineReader() = default;
    ~CDataLineReader();
    CDataLineReader(const CDataLineReader&) = delete;
    CDataLineReader& operator=(const CDataLineReader&) = delete;

    bool Open(const std::string& path);
    // Reads from memory instead of a file.
    void OpenText(std::string text);
    void Close();
    bool IsOpen() const { return m_fp != nullptr || m_fromText; }

    // The next data line, leading white space and line end removed; false at end of input
    // or at a line longer than kMaxLineBytes.
    bool Next(std::string& line);
    // Line number (from 1) in the file of the line Next returned last.
    int LineNumber() const { return m_dataLine; }
    // True when the reading ended at an overlong line (LineNumber() is then that line).
    bool TooLong() const { return m_tooLong; }
    // Share of the input read so far, 0 ... 1 (0 when its size is not known).
    double Fraction() const;

    static bool IsDataLine(std::string_view trimmed);
    static std::string_view TrimLeft(std::string_view s);

private:
    bool RawLine(std::string& line);

    FILE* m_fp = nullptr;
    char m_buf[1 << 16];
    size_t m_bufPos = 0, m_bufLen = 0;
    bool m_fromText = false;
    std::string m_text;
    size_t m_textPos = 0;
    long long m_size = 0;  // bytes of the input
    bool m_first = true;
    int m_rawLine = 0, m_dataLine = 0;
    bool m_tooLong = false;
};

// Reads blank-separated numbers from the start of a line the way sscanf does: each field
// skips white space, a field that does not parse ends the reading, and the variables of
// that field and of all later ones keep the value they had (the caller's default).
class CFieldScanner {
public:
    explicit CFieldScanner(std::string_view text) : m_text(text) {}

    CFieldScanner& Int(int& value);
    CFieldScanner& UInt(unsigned& value);
    CFieldScanner& Double(double& value);

    // Number of fields read so far.
    int Count() const { return m_count; }
    bool Ok() const { return m_ok; }
    // Moves past the next run of non-white characters and the white space behind it.
    void SkipField();
    // The first field of a line that is written as a number but is none a double can hold
    // ("nan", "inf", 1e400, or more than 512 characters long); empty when there is none.
    static std::string_view InvalidNumber(std::string_view line);
    std::string_view Rest() const { return m_text.substr(m_pos); }

private:
    void SkipSpace();
    // The next integer field; false (and the reading ended) when there is none.
    bool NextInteger(long long& value, bool& outOfRange);

    std::string_view m_text;
    size_t m_pos = 0;
    bool m_ok = true;
    int m_count = 0;
};
