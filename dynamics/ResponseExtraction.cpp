// Extraction of one displacement component's time history from the response file.
#include "dynamics/ResponseExtraction.h"

#include <cmath>

#include "dynamics/PreciseIntegrator.h"
#include "engine/PlaneFrame.h"
#include "platform/BinaryFile.h"
#include "platform/DataLineReader.h"
#include "platform/Format.h"
#include "platform/Host.h"
#include "platform/TextFile.h"

long long ResponseRecordCount(const CPlaneFrame& frame) {
    CBinaryIn in;
    if (!in.Open(frame.ResponsePath())) return -1;
    const long long size = in.Size();
    return size < 0 ? -1 : size / ResponseRecordBytes(frame.m_nDof);
}

namespace {

// Duration and step of the dynamic load file; false when it has none.
bool LoadFileTiming(double& duration, double& step) {
    CDataLineReader in;
    std::string line;
    if (!in.Open(kDynamicLoadFile) || !in.Next(line) || !in.Next(line)) return false;
    CFieldScanner(line).Double(duration).Double(step);
    return step > 0 && duration >= step;
}

}  // namespace

long long CheckedResponseRecords(const CPlaneFrame& frame) {
    CBinaryIn in;
    if (!in.Open(frame.ResponsePath())) return 0;
    const long long size = in.Size();
    const long long record = ResponseRecordBytes(frame.m_nDof);
    const std::string message =
        FormatString("错误：动力响应文件%s不完整或不属于本模型!", frame.ResponsePath().c_str());
    if (size <= 0) return 0;
    if (size % record != 0) {
        ShowMessage(message, FormatString("文件长%lld字节，不是%d个方程的记录长度%lld字节的整数倍",
                                          size, frame.m_nDof, record));
        return -1;
    }
    const long long count = size / record;
    double duration = frame.m_dynDuration, step = frame.m_dynStep;
    const bool timed = (step > 0 && duration >= step) || LoadFileTiming(duration, step);
    if (timed) {
        const long long expected = CPreciseIntegrator::RecordCount(duration, step);
        if (count != expected) {
            ShowMessage(message, FormatString("文件有%lld条记录，时长%g、步长%g应有%lld条", count,
                                              duration, step, expected));
            return -1;
        }
    }
    // The time column: 0 at the first record and evenly stepped to the last.
    double t0 = 1, t1 = 0, tLast = 0;
    bool ok = in.Seek(0) && in.Double(t0) && t0 == 0;
    if (ok && count > 1) {
        ok = in.Seek(record) && in.Double(t1) && in.Seek((count - 1) * record) &&
             in.Double(tLast) && t1 > 0 &&
             std::fabs(tLast - (count - 1) * t1) <= 1e-6 * (count - 1) * t1 &&
             (!timed || std::fabs(t1 - step) <= 1e-9 * step);
    }
    if (!ok) {
        ShowMessage(message, "时间列不是0, dt, 2dt, ...");
        return -1;
    }
    return count;
}

std::string ResponseHistoryPath(const CPlaneFrame& frame, int node, int direction) {
    return frame.m_baseName + FormatString("_节点%d自由度%d_动力响应.txt", node, direction + 1);
}

ExtractResult ExtractResponse(const CPlaneFrame& frame, int node, int direction) {
    if (node < 1 || node > frame.m_nNodes || direction < 0 || direction > 2)
        return ExtractResult::kBadNode;
    const int e = frame.m_dofNum[node - 1][direction];
    const int n = frame.m_nDof;
    CBinaryIn in;
    if (!in.Open(frame.ResponsePath())) return ExtractResult::kNoResponse;
    const long long record = ResponseRecordBytes(n);
    const long long count = CheckedResponseRecords(frame);
    if (count < 0) return ExtractResult::kBadResponse;
    if (count == 0) return ExtractResult::kNoResponse;
    const std::string path = ResponseHistoryPath(frame, node, direction);
    CTextOut out;
    bool ok = out.Open(path);
    for (long long i = 0; ok && i < count; ++i) {
        double t = 0, d = 0, v = 0;
        const long long at = i * record;
        ok = in.Seek(at) && in.Double(t) && in.Seek(at + 8 + 8LL * e) && in.Double(d) &&
             in.Seek(at + 8 + 8LL * n + 8LL * e) && in.Double(v);
        if (ok) out.Printf("%16.6e %16.6e %16.6e\n", t, d, v);
    }
    if (!out.Close() || !ok) {
        ShowMessage(FormatString("错误：无法写入文件%s!", path.c_str()));
        return ExtractResult::kCannotWrite;
    }
    return ExtractResult::kWritten;
}
