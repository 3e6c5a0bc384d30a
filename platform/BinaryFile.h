// Headerless little-endian int32 / IEEE double files, written and read field by field.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class CBinaryOut {
public:
    CBinaryOut() = default;
    ~CBinaryOut() { Close(); }
    CBinaryOut(const CBinaryOut&) = delete;
    CBinaryOut& operator=(const CBinaryOut&) = delete;

    bool Open(const std::string& path);
    bool IsOpen() const { return m_fp != nullptr; }
    void Int32(std::int32_t v);
    void Double(double v);
    void Doubles(const double* v, size_t count);
    // Flushes and closes; false when the file was never opened or any write failed.
    bool Close();

private:
    void Put(const void* p, size_t n);
    void Flush();

    FILE* m_fp = nullptr;
    std::vector<unsigned char> m_buf;
    bool m_failed = false;
};

class CBinaryIn {
public:
    CBinaryIn() = default;
    ~CBinaryIn() { Close(); }
    CBinaryIn(const CBinaryIn&) = delete;
    CBinaryIn& operator=(const CBinaryIn&) = delete;

    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return m_fp != nullptr; }
    // Size of the open file in bytes, -1 when unknown.
    long long Size() const;
    bool Seek(long long offset);
    // Each returns false (value unchanged) when the file ends first.
    bool Int32(std::int32_t& v);
    bool Double(double& v);
    bool Doubles(double* v, size_t count);

private:
    FILE* m_fp = nullptr;
};
