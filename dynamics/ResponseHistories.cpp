// Histories derived from the response file: the accelerations from the equations of motion
// and the internal forces at a point of an element from the displacements.
#include <cblas.h>
#include <lapacke.h>

#include <algorithm>
#include <cmath>

#include "dynamics/DenseStorage.h"
#include "dynamics/DynamicLoad.h"
#include "dynamics/ResponseExtraction.h"
#include "engine/PlaneFrame.h"
#include "platform/BinaryFile.h"
#include "platform/Format.h"
#include "platform/Host.h"
#include "platform/TextFile.h"

namespace {

constexpr const char* kNoMemory = "内存不够，动力响应分析无法进行!";

void ReportUnreadable(const CPlaneFrame& frame) {
    ShowMessage(
        FormatString("错误：动力响应文件%s不完整或不属于本模型!", frame.ResponsePath().c_str()));
}

}  // namespace

std::string AccelerationHistoryPath(const CPlaneFrame& frame, int node, int direction) {
    return frame.m_baseName + FormatString("_节点%d自由度%d_加速度.txt", node, direction + 1);
}

std::string ForceHistoryPath(const CPlaneFrame& frame, int element, int point) {
    return frame.m_baseName + FormatString("_单元%d点%d_内力响应.txt", element, point);
}

bool HoldsDynamicRun(const CPlaneFrame& frame) {
    const size_t N = static_cast<size_t>(frame.m_nDof);
    return N > 0 && frame.m_dynCodes.size() == N && frame.m_fullM.size() == N * N &&
           frame.m_fullK.size() == N * N && frame.m_fullC.size() == N * N;
}

bool VisitAccelerations(const CPlaneFrame& frame, long long count,
                        const std::function<bool(long long, double, const double*)>& visit) {
    if (!HoldsDynamicRun(frame)) return false;
    const int n = frame.m_nDof;
    const size_t N = static_cast<size_t>(n);
    std::vector<size_t> reduced;
    for (size_t e = 0; e < N; ++e)
        if (frame.m_dynCodes[e] == 0) reduced.push_back(e);
    const int m = static_cast<int>(reduced.size());
    const size_t M = reduced.size();
    // The free block of the run's matrices; the lower triangles of the full ones are filled.
    const int batch = 64;
    std::vector<double> Mr, Kr, Cr, U, V, A, record, acc;
    const double mm = static_cast<double>(m) * m, bm = static_cast<double>(batch) * m;
    if (!AllocateZeroed(Mr, mm) || !AllocateZeroed(Kr, mm) || !AllocateZeroed(Cr, mm) ||
        !AllocateZeroed(U, bm) || !AllocateZeroed(V, bm) || !AllocateZeroed(A, bm) ||
        !AllocateZeroed(record, 2.0 * n) || !AllocateZeroed(acc, n)) {
        ShowMessage(kNoMemory);
        return false;
    }
    for (size_t r = 0; r < M; ++r)
        for (size_t c = 0; c <= r; ++c) {
            const size_t at = reduced[r] * N + reduced[c];
            Mr[r * M + c] = Mr[c * M + r] = frame.m_fullM[at];
            Kr[r * M + c] = Kr[c * M + r] = frame.m_fullK[at];
            Cr[r * M + c] = Cr[c * M + r] = frame.m_fullC[at];
        }
    // Symmetric, so the row-major squares serve as column-major ones.
    if (m > 0 && LAPACKE_dpotrf(LAPACK_COL_MAJOR, 'L', m, Mr.data(), m) != 0) {
        ShowMessage(kNoMemory, "质量矩阵不正定(截面重量为零?)");
        return false;
    }
    CBinaryIn in;
    if (!in.Open(frame.ResponsePath())) {
        ReportUnreadable(frame);
        return false;
    }
    const long long bytes = ResponseRecordBytes(n);
    double times[batch];
    for (long long first = 0; first < count; first += batch) {
        const int rows = static_cast<int>(std::min<long long>(batch, count - first));
        for (int r = 0; r < rows; ++r) {
            const size_t row = static_cast<size_t>(r) * M;
            if (!in.Seek((first + r) * bytes) || !in.Double(times[r]) ||
                !in.Doubles(record.data(), 2 * N)) {
                ReportUnreadable(frame);
                return false;
            }
            if (!frame.LoadVector(times[r], &A[row])) {
                ShowMessage(kNoMemory);
                return false;
            }
            for (size_t k = 0; k < M; ++k) {
                U[row + k] = record[reduced[k]];
                V[row + k] = record[N + reduced[k]];
            }
        }
        if (m > 0) {
            // M a = F - K u - C v for every record of the batch at once.
            cblas_dgemm(CblasRowMajor, CblasNoTrans, CblasNoTrans, rows, m, m, -1.0, U.data(), m,
                        Kr.data(), m, 1.0, A.data(), m);
            cblas_dgemm(CblasRowMajor, CblasNoTrans, CblasNoTrans, rows, m, m, -1.0, V.data(), m,
                        Cr.data(), m, 1.0, A.data(), m);
            LAPACKE_dpotrs(LAPACK_COL_MAJOR, 'L', m, rows, Mr.data(), m, A.data(), m);
        }
        for (int r = 0; r < rows; ++r) {
            std::fill(acc.begin(), acc.end(), 0.0);
            for (size_t k = 0; k < M; ++k) acc[reduced[k]] = A[static_cast<size_t>(r) * M + k];
            for (const auto& load : frame.m_dynLoads) {
                if (load->m_type != CDynamicLoad::kPrescribed) continue;
                double d, v, a;
                load->MotionAt(times[r], d, v, a);
                acc[static_cast<size_t>(load->Equation())] = a;
            }
            if (!visit(first + r, times[r], acc.data())) return false;
        }
    }
    return true;
}

namespace {

// Writes the lines of a history file; the old file stays when fill fails (after its
// message) or the file cannot be written.
template <typename Fill>
ExtractResult WriteHistory(const std::string& path, Fill&& fill) {
    CTextOut out;
    if (out.Open(path)) {
        if (!fill(out)) {
            out.Discard();
            return ExtractResult::kBadResponse;
        }
        if (out.Close()) return ExtractResult::kWritten;
    }
    ShowMessage(FormatString("错误：无法写入文件%s!", path.c_str()));
    return ExtractResult::kCannotWrite;
}

}  // namespace

ExtractResult ExtractAcceleration(const CPlaneFrame& frame, int node, int direction) {
    if (node < 1 || node > frame.m_nNodes || direction < 0 || direction > 2)
        return ExtractResult::kBadNode;
    if (!HoldsDynamicRun(frame)) return ExtractResult::kNoResponse;
    const long long count = CheckedResponseRecords(frame);
    if (count < 0) return ExtractResult::kBadResponse;
    if (count == 0) return ExtractResult::kNoResponse;
    const size_t e = static_cast<size_t>(frame.m_dofNum[node - 1][direction]);
    return WriteHistory(AccelerationHistoryPath(frame, node, direction), [&](CTextOut& out) {
        return VisitAccelerations(frame, count, [&](long long i, double t, const double* a) {
            if (!std::isfinite(a[e])) {
                ShowMessage(
                    FormatString("错误：动力响应在第%lld步(t=%g)的加速度不是有限数值!", i + 1, t));
                return false;
            }
            out.Printf("%16.6e %16.6e\n", t, a[e]);
            return true;
        });
    });
}

void ResponseForces(const CPlaneFrame& frame, int element, double xi, const double* displacements,
                    double& N, double& Q, double& M) {
    const EndForceSet ef = frame.ElasticEndForces(element, displacements);
    // Case -1 has no element loads: the forces of the displaced element alone.
    frame.ForcesAt(element, -1, xi * frame.m_elements[element].length, ef, N, Q, M);
}

ExtractResult ExtractForces(const CPlaneFrame& frame, int element, int point) {
    if (element < 1 || element > frame.m_nElements || point < 1 || point > 11)
        return ExtractResult::kBadNode;
    const long long count = CheckedResponseRecords(frame);
    if (count < 0) return ExtractResult::kBadResponse;
    if (count == 0) return ExtractResult::kNoResponse;
    CBinaryIn in;
    if (!in.Open(frame.ResponsePath())) return ExtractResult::kNoResponse;
    const size_t N = static_cast<size_t>(frame.m_nDof);
    std::vector<double> d(N);
    const long long bytes = ResponseRecordBytes(frame.m_nDof);
    return WriteHistory(ForceHistoryPath(frame, element, point), [&](CTextOut& out) {
        for (long long i = 0; i < count; ++i) {
            double t = 0, f[3];
            if (!in.Seek(i * bytes) || !in.Double(t) || !in.Doubles(d.data(), N)) {
                ReportUnreadable(frame);
                return false;
            }
            ResponseForces(frame, element - 1, (point - 1) / 10.0, d.data(), f[0], f[1], f[2]);
            // + 0.0: a force of -0 prints as 0.
            out.Printf("%16.6e %16.6e %16.6e %16.6e\n", t, f[0] + 0.0, f[1] + 0.0, f[2] + 0.0);
        }
        return true;
    });
}
