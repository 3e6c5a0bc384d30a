// The per-case result file B.k (k = 1 ... number of load cases): its layout, the extreme
// record, the writer and the reader. Headerless little-endian (platform/BinaryFile.h):
//   for every element: N, Q, M at 101 points, x = L p / 100 for p = 0 ... 100
//   then the extreme records of N, Q and M over the whole model.
// The envelope files end in the same extreme record (liveload/Envelope.h).
#pragma once

#include <cstdint>
#include <string>

#include "platform/BinaryFile.h"

namespace casefile {

constexpr int kPoints = 101;                               // points of an element
constexpr int kValues = 3;                                 // N, Q, M at a point
constexpr int kElementValues = kPoints * kValues;          // doubles of an element
constexpr long long kPointBytes = kValues * 8LL;           // 24
constexpr long long kElementBytes = kPoints * kPointBytes;  // 2424
constexpr long long kExtremeBytes = 48;                    // one extreme record

// Size of the whole file of a model with this many elements.
constexpr long long FileSize(int elements) {
    return elements * kElementBytes + kValues * kExtremeBytes;
}
// Where N of point p (0 ... 100) of element e (0-based) stands.
constexpr long long PointOffset(int element, int point) {
    return element * kElementBytes + point * kPointBytes;
}
// Where the extreme record of value q (0 N, 1 Q, 2 M) stands.
constexpr long long ExtremeOffset(int elements, int value) {
    return elements * kElementBytes + value * kExtremeBytes;
}

}  // namespace casefile

// The largest and smallest value of one quantity, each with the element (0-based) and the
// distance from its node i where it occurs. On disk (48 bytes): int32 element, int32 0,
// double distance, double value, first of the largest, then of the smallest.
struct ExtremeRecord {
    int maxElement = 0;
    double maxAt = 0, maxValue = 0;
    int minElement = 0;
    double minAt = 0, minValue = 0;
};

inline void WriteExtremeRecord(CBinaryOut& out, const ExtremeRecord& x) {
    out.Int32(x.maxElement);
    out.Int32(0);
    out.Double(x.maxAt);
    out.Double(x.maxValue);
    out.Int32(x.minElement);
    out.Int32(0);
    out.Double(x.minAt);
    out.Double(x.minValue);
}

// False when the file ends first (x then partly read).
inline bool ReadExtremeRecord(CBinaryIn& in, ExtremeRecord& x) {
    std::int32_t maxElement = 0, minElement = 0, reserved = 0;
    const bool ok = in.Int32(maxElement) && in.Int32(reserved) && in.Double(x.maxAt) &&
                    in.Double(x.maxValue) && in.Int32(minElement) && in.Int32(reserved) &&
                    in.Double(x.minAt) && in.Double(x.minValue);
    x.maxElement = maxElement;
    x.minElement = minElement;
    return ok;
}

// Writes a per-case file: Element for every element in order, then Extremes.
class CCaseFileOut {
public:
    // The new file replaces path on a successful Close, never before.
    bool Open(const std::string& path) { return m_out.Open(path); }
    // The kElementValues values of the next element: N, Q, M of point 0, then of point 1 ...
    void Element(const double* values) { m_out.Doubles(values, casefile::kElementValues); }
    // The extreme records of N, Q and M.
    void Extremes(const ExtremeRecord (&x)[casefile::kValues]) {
        for (const ExtremeRecord& r : x) WriteExtremeRecord(m_out, r);
    }
    // False when the file was never opened or any write failed (the old file then stays).
    bool Close() { return m_out.Close(); }
    // The same, the file replacing path when pending is committed.
    bool CloseInto(CPendingReplacements& pending) { return m_out.CloseInto(pending); }

private:
    CBinaryOut m_out;
};

// Reads a per-case file, point by point, element by element or its extreme records. Every
// read returns false when the file ends first.
class CCaseFileIn {
public:
    bool Open(const std::string& path) { return m_in.Open(path); }
    // Size in bytes, -1 when unknown.
    long long Size() const { return m_in.Size(); }
    // Whole for a model with this many elements.
    bool Complete(int elements) const { return Size() == casefile::FileSize(elements); }
    // Goes to point 0 of element e; Next then reads one point after the other.
    bool SeekElement(int element) { return m_in.Seek(casefile::PointOffset(element, 0)); }
    // N, Q, M of the next point.
    bool Next(double (&v)[casefile::kValues]) { return m_in.Doubles(v, casefile::kValues); }
    // The kElementValues values of the next element.
    bool NextElement(double* values) { return m_in.Doubles(values, casefile::kElementValues); }
    // N, Q, M of point p of element e.
    bool Point(int element, int point, double (&v)[casefile::kValues]) {
        return m_in.Seek(casefile::PointOffset(element, point)) && Next(v);
    }
    // The extreme record of value q (0 N, 1 Q, 2 M) of a model with this many elements.
    bool Extreme(int elements, int value, ExtremeRecord& x) {
        return m_in.Seek(casefile::ExtremeOffset(elements, value)) && ReadExtremeRecord(m_in, x);
    }

private:
    CBinaryIn m_in;
};
