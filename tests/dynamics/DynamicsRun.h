// Helpers of the dynamic-response tests: the load file and the records of B.tim.
#pragma once

#include <string>
#include <vector>

#include "TestSupport.h"
#include "dynamics/ResponseExtraction.h"
#include "platform/BinaryFile.h"

struct ResponseRecord {
    double t = 0;
    std::vector<double> d, v;
};

// Every whole record of the engine's B.tim.
inline std::vector<ResponseRecord> ReadResponse(const CPlaneFrame& frame) {
    std::vector<ResponseRecord> out;
    CBinaryIn in;
    if (!in.Open(frame.ResponsePath())) return out;
    const size_t n = static_cast<size_t>(frame.m_nDof);
    const long long count = in.Size() / ResponseRecordBytes(frame.m_nDof);
    for (long long i = 0; i < count; ++i) {
        ResponseRecord r;
        r.d.resize(n);
        r.v.resize(n);
        if (!in.Double(r.t) || !in.Doubles(r.d.data(), n) || !in.Doubles(r.v.data(), n)) break;
        out.push_back(std::move(r));
    }
    return out;
}

// x^T A y for an n x n matrix whose lower triangle is filled.
inline double LowerForm(const std::vector<double>& A, const std::vector<double>& x,
                        const std::vector<double>& y) {
    const size_t n = x.size();
    double s = 0;
    for (size_t i = 0; i < n; ++i)
        for (size_t j = 0; j < n; ++j) s += x[i] * A[(i > j ? i : j) * n + (i > j ? j : i)] * y[j];
    return s;
}
