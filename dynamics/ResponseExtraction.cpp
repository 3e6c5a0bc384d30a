// Extraction of one displacement component's time history from the response file.
#include "dynamics/ResponseExtraction.h"

#include "engine/PlaneFrame.h"
#include "platform/BinaryFile.h"
#include "platform/Format.h"
#include "platform/Host.h"
#include "platform/TextFile.h"

long long ResponseRecordCount(const CPlaneFrame& frame) {
    CBinaryIn in;
    if (!in.Open(frame.ResponsePath())) return -1;
    const long long size = in.Size();
    return size < 0 ? -1 : size / ResponseRecordBytes(frame.m_nDof);
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
    const long long count = in.Size() / record;
    if (count <= 0) return ExtractResult::kNoResponse;
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
