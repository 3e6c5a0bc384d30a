// Headerless little-endian int32 / IEEE double files, written and read field by field.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/ReplacingFile.h"

class CBinaryOut {
public:
    CBinaryOut() = default;
    // A file never closed was abandoned half-written: the old one stays.
    ~CBinaryOut() { Discard(); }
    CBinaryOut(const CBinaryOut&) = delete;
    CBinaryOut& operator=(const CBinaryOut&) = delete;

    // The new file replaces path on a successful Close, never before.
    bool Open(const std::string& path);
    bool IsOpen() const { return m_fp != nullptr; }
    // False once a write has failed.
    bool Good() const { return m_fp != nullptr && !m_failed; }
    void Int32(std::int32_t v);
    void Double(double v);
    void Doubles(const double* v, size_t count);
    // Flushes and closes; false when the file was never opened or any write failed (the old
    // file is then left as it was).
    bool Close();
    // Flushes and closes; the file replaces path when pending is committed. False as Close.
    bool CloseInto(CPendingReplacements& pending);
    // Closes without replacing the old file.
    void Discard();

private:
    void Put(const void* p, size_t n);
    void Flush();

    CReplacingFile m_file;
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
