// Names of the envelope files and the reader of a binary envelope file.
#include <cmath>

#include "engine/CaseFile.h"
#include "engine/PlaneFrame.h"
#include "liveload/Envelope.h"
#include "liveload/LiveLoad.h"
#include "platform/BinaryFile.h"
#include "platform/Format.h"
#include "platform/Host.h"

std::string CPlaneFrame::EnvelopeBinaryPath(int type, int quantity) const {
    static const char kLetters[4] = {'?', 'z', 'j', 'w'};
    return FormatString("%s.%c%d", m_baseName.c_str(),
                        kLetters[quantity < 1 || quantity > 3 ? 0 : quantity], type);
}

std::string CPlaneFrame::EnvelopeTextPath(int type, int quantity) const {
    static const char* const kWords[4] = {"", "_轴力包络图数据_", "_剪力包络图数据_",
                                          "_弯矩包络图数据_"};
    return m_baseName + kWords[quantity < 1 || quantity > 3 ? 0 : quantity] +
           LiveLoadFileName(type) + ".out";
}

std::string CPlaneFrame::ConcurrentTextPath(int type, int quantity) const {
    static const char* const kWords[4] = {"", "_轴力包络图同时内力_", "_剪力包络图同时内力_",
                                          "_弯矩包络图同时内力_"};
    return m_baseName + kWords[quantity < 1 || quantity > 3 ? 0 : quantity] +
           LiveLoadFileName(type) + ".out";
}

bool CPlaneFrame::ReadEnvelope(int type, int quantity, EnvelopeData& data) const {
    const std::string path = EnvelopeBinaryPath(type, quantity);
    CBinaryIn in;
    if (!in.Open(path)) {
        ShowMessage("内力包络图数据文件:" + path + "不存在！");
        return false;
    }
    // A file of another model or an interrupted write must not be drawn as if it fitted.
    if (in.Size() != EnvelopeFileSize(m_nElements)) {
        ShowMessage("内力包络图数据文件:" + path + "不完整！");
        return false;
    }
    const size_t count = static_cast<size_t>(m_nElements) * 11;
    data.maxima.resize(count);
    data.minima.resize(count);
    bool ok = true;
    for (size_t i = 0; i < count && ok; ++i)
        ok = in.Double(data.maxima[i]) && in.Double(data.minima[i]);
    ExtremeRecord x;
    ok = ok && ReadExtremeRecord(in, x);
    data.maxDistance = x.maxAt, data.maxValue = x.maxValue;
    data.minDistance = x.minAt, data.minValue = x.minValue;
    ok = ok && x.maxElement >= 0 && x.maxElement < m_nElements && x.minElement >= 0 &&
         x.minElement < m_nElements && std::isfinite(data.maxValue) &&
         std::isfinite(data.minValue) && std::isfinite(data.maxDistance) &&
         std::isfinite(data.minDistance);
    for (size_t i = 0; i < count && ok; ++i)
        ok = std::isfinite(data.maxima[i]) && std::isfinite(data.minima[i]);
    if (!ok) {
        ShowMessage("内力包络图数据文件:" + path + "不完整！");
        return false;
    }
    data.maxElement = x.maxElement;
    data.minElement = x.minElement;
    return true;
}
