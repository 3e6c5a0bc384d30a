// The dynamic response run: the dynamic load file, the damping matrix, the reduction to the
// free equations of the run and the time integration into B.tim.
#include <algorithm>
#include <new>
#include <optional>

#include "dynamics/DenseStorage.h"
#include "dynamics/DynamicLoad.h"
#include "dynamics/PreciseIntegrator.h"
#include "dynamics/SymmetricBand.h"
#include "engine/PlaneFrame.h"
#include "platform/Format.h"
#include "platform/Host.h"

namespace {

constexpr const char* kNoMemory = "内存不够，动力响应分析无法进行!";

// Closes the load file on every way out of the run.
struct CloseOnExit {
    CDataLineReader& reader;
    ~CloseOnExit() { reader.Close(); }
};

}  // namespace

bool CPlaneFrame::LoadVector(double t, double* out) const {
    std::vector<double> F;
    if (!AllocateZeroed(F, m_nDof)) return false;
    for (const auto& load : m_dynLoads) load->AddLoad(t, F.data());
    for (int e = 0, r = 0; e < m_nDof; ++e)
        if (m_dynCodes[e] == 0) out[r++] = F[e];
    return true;
}

bool CPlaneFrame::ReadDynamicLoads() {
    if (!NextLine()) return false;
    unsigned counts[3] = {0, 0, 0};
    CFieldScanner(m_lineBuf).UInt(counts[0]).UInt(counts[1]).UInt(counts[2]);
    for (int kind = 1; kind <= 3; ++kind)
        for (unsigned k = 0; k < counts[kind - 1]; ++k) {
            if (!NextLine()) return false;
            std::unique_ptr<CDynamicLoad> load;
            try {
                load = std::make_unique<CDynamicLoad>(this);
                load->Parse(kind, m_lineBuf, m_dynCodes);
                m_dynLoads.push_back(std::move(load));
            } catch (const std::bad_alloc&) {
                return false;
            }
        }
    return true;
}

bool CPlaneFrame::ReadInitialState() {
    if (!NextLine()) return false;
    int count = 0;
    CFieldScanner(m_lineBuf).Int(count);
    const size_t n = static_cast<size_t>(m_nDof);
    for (int k = 0; k < count; ++k) {
        if (!NextLine()) return false;
        int node = 0, dof = 0;
        double u0 = 0, v0 = 0;
        CFieldScanner(m_lineBuf).Int(node).Int(dof).Double(u0).Double(v0);
        if (node < 1 || node > m_nNodes) {
            ShowMessage("非零位移条件节点号错误!");
            return false;
        }
        if (dof < 1 || dof > 3) {
            ShowMessage("非零位移条件自由度错误!");
            return false;
        }
        const size_t e = static_cast<size_t>(m_dofNum[node - 1][dof - 1]);
        m_dynRecord[e] = u0;
        m_dynRecord[n + e] = v0;
    }
    return true;
}

bool CPlaneFrame::ReadDynamicRun(const std::string& loadPath) {
    const int n = m_nDof;
    const size_t N = static_cast<size_t>(n);
    m_dynLoads.clear();
    if (m_dofStatus.size() != N) return false;
    m_dynCodes.assign(m_dofStatus.begin(), m_dofStatus.end());

    CloseOnExit closer{m_femFile};
    m_femFile.Close();
    if (!m_femFile.Open(loadPath)) {
        ShowMessage(
            FormatString("动力荷载数据文件%s不存在！\n请先建立该数据文件", loadPath.c_str()));
        return false;
    }
    if (m_fullC.size() != N * N) {
        if (!AllocateZeroed(m_fullC, static_cast<double>(n) * n)) {
            ShowMessage(kNoMemory);
            return false;
        }
    }
    if (!BuildDynamicMatrices()) return false;
    if (!AllocateZeroed(m_dynRecord, 2.0 * n)) {
        ShowMessage(kNoMemory);
        return false;
    }

    // Messages of the reading name the file and line; those of the integration do not.
    m_readPath = loadPath;
    std::optional<CMessageDetail> where;
    where.emplace(
        [](const void* self) { return static_cast<const CPlaneFrame*>(self)->ReadPlace(); }, this);
    if (!NextLine()) return false;
    m_dynAlpha = m_dynBeta = 0;
    CFieldScanner(m_lineBuf).Double(m_dynAlpha).Double(m_dynBeta);
    // Negative damping feeds energy in: the response grows without bound.
    if (m_dynAlpha < 0 || m_dynBeta < 0) {
        ShowMessage("动力荷载数据错误：阻尼系数不能为负！");
        return false;
    }
    for (size_t i = 0; i < N; ++i)
        for (size_t j = 0; j <= i; ++j)
            m_fullC[i * N + j] = m_dynAlpha * m_fullM[i * N + j] + m_dynBeta * m_fullK[i * N + j];

    if (!NextLine()) return false;
    m_dynDuration = m_dynStep = 0;
    CFieldScanner(m_lineBuf).Double(m_dynDuration).Double(m_dynStep);
    if (m_dynStep > m_dynDuration) return false;
    // A step of zero or less would never reach the end of the run.
    if (!(m_dynStep > 0)) {
        ShowMessage("动力荷载数据错误：时间步长必须大于0！");
        return false;
    }
    if (!(m_dynDuration / m_dynStep < 2e9)) {
        ShowMessage("动力荷载数据错误：时间步数过多！");
        return false;
    }

    if (!ReadDynamicLoads() || !ReadInitialState()) return false;
    m_femFile.Close();
    return true;
}

bool CPlaneFrame::DynamicResponse(const std::string& loadPath) {
    if (!ReadDynamicRun(loadPath)) return false;
    const int n = m_nDof;
    const size_t N = static_cast<size_t>(n);

    std::vector<int> reduced;
    for (int e = 0; e < n; ++e)
        if (m_dynCodes[e] == 0) reduced.push_back(e);
    const int m = static_cast<int>(reduced.size());
    const size_t M = static_cast<size_t>(m);
    std::vector<double> Mr, Kr, Cr;
    const double mm = static_cast<double>(m) * m;
    if (!AllocateZeroed(Mr, mm) || !AllocateZeroed(Kr, mm) || !AllocateZeroed(Cr, mm)) {
        ShowMessage(kNoMemory);
        return false;
    }
    for (size_t r = 0; r < M; ++r) {
        const size_t i = static_cast<size_t>(reduced[r]);
        for (size_t c = 0; c <= r; ++c) {
            const size_t j = static_cast<size_t>(reduced[c]);
            Mr[r * M + c] = Mr[c * M + r] = m_fullM[i * N + j];
            Kr[r * M + c] = Kr[c * M + r] = m_fullK[i * N + j];
            Cr[r * M + c] = Cr[c * M + r] = m_fullC[i * N + j];
        }
    }

    CPreciseIntegrator integrator(Mr.data(), Kr.data(), Cr.data(), m, m_dynStep, 20);
    integrator.m_keepRunning = &m_keepRunning;
    integrator.m_method = m_responseMethod;
    integrator.SetRayleigh(m_dynAlpha, m_dynBeta);
    integrator.m_stiffnessProduct = ElementStiffnessProduct(*this, reduced);
    if (!integrator.Prepare()) {
        if (m_keepRunning != 0) ShowMessage(kNoMemory);
        return false;
    }
    std::vector<double>().swap(Kr);
    std::vector<double>().swap(Cr);
    if (!integrator.Integrate(*this, m_dynDuration)) {
        if (!integrator.Reported()) ShowMessage(kNoMemory);
        return false;
    }
    return true;
}
