// Construction, destruction and the static analysis run of the engine.
#include "engine/PlaneFrame.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

// The destructor frees the dynamic loads, which the header only declares.
#include "dynamics/DynamicLoad.h"
#include "engine/SolutionCheck.h"
#include "platform/Format.h"
#include "platform/Host.h"

namespace {

// Engines of one model in this process (windows of one data file, opened again after an
// edit) share B.1 ... B.n, B.stf and the model copy: the last one to go removes them.
std::mutex g_usersMutex;
std::map<std::string, int> g_usersOfBase;

bool LastUserLeaves(const std::string& base) {
    std::lock_guard<std::mutex> guard(g_usersMutex);
    auto it = g_usersOfBase.find(base);
    if (it == g_usersOfBase.end() || --it->second > 0) return it == g_usersOfBase.end();
    g_usersOfBase.erase(it);
    return true;
}

// The first displacement, end force or internal force of a case that is not a finite
// number, described for the message detail; empty when the case is finite throughout.
std::string FirstNonFinite(const CPlaneFrame& f, int k) {
    const double* d = &f.m_disp[static_cast<size_t>(k) * f.m_nDof];
    for (int j = 0; j < f.m_nDof; ++j)
        if (!std::isfinite(d[j])) return FormatString("工况%d：第%d个位移为%g", k + 1, j + 1, d[j]);
    for (int e = 0; e < f.m_nElements; ++e) {
        const EndForceSet ef = f.EndForces(e, k);
        for (double v : ef)
            if (!std::isfinite(v))
                return FormatString("工况%d：单元%d的杆端力为%g", k + 1, e + 1, v);
        const double step = 0.01 * f.m_elements[e].length;
        for (int p = 0; p <= 100; ++p) {
            double v[3];
            f.ForcesAt(e, k, p * step, ef, v[0], v[1], v[2]);
            for (double x : v)
                if (!std::isfinite(x))
                    return FormatString("工况%d：单元%d内力为%g", k + 1, e + 1, x);
        }
    }
    return std::string();
}

bool EndsWith(const std::string& s, const char* suffix) {
    const size_t n = std::char_traits<char>::length(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

}  // namespace

CPlaneFrame::CPlaneFrame(const std::string& femPath, const std::string& outPath)
    : m_femPath(femPath) {
    // Only a trailing ".out" is cut: a folder called "x.out.d" must not move the side files.
    m_baseName = EndsWith(outPath, ".out") ? outPath.substr(0, outPath.size() - 4) : outPath;
    m_femFile.Open(femPath);
    m_outFile.Open(outPath, "w");
    std::lock_guard<std::mutex> guard(g_usersMutex);
    ++g_usersOfBase[m_baseName];
}

CPlaneFrame::~CPlaneFrame() {
    m_femFile.Close();
    m_outFile.Close();  // a model read but never solved keeps its echo
    if (!LastUserLeaves(m_baseName) || m_keepScratchFiles) return;
    for (int k = 1; k <= m_nCaseFiles; ++k) RemoveFile(CaseBinaryPath(k));
    RemoveFile(StiffnessPath());
    RemoveFile(HuozaiPath());
}

bool CPlaneFrame::Solve() {
    // The result files of this run: they replace the old ones only when the run is complete.
    CPendingReplacements results;
    ReportProgress(RunStage::kAssembling, 0);
    bool ok = MarkSupports() && LayoutBand() && Assemble() && !StopRequested();
    if (ok) {
        ApplySupports();
        ReportProgress(RunStage::kFactorising, 0);
        ok = Factorize();
    }
    if (ok && !StopRequested()) {
        ReportProgress(RunStage::kSubstituting, 0);
        for (int k = 0; k < m_nCases; ++k) {
            double* v = &m_disp[static_cast<size_t>(k) * m_nDof];
            for (int j = 0; j < m_nDof; ++j) {
                if (m_dofStatus[j] == 1)
                    v[j] = m_supportLoad[j];
                else
                    v[j] += m_supportLoad[j];
            }
        }
        Substitute(m_disp.data(), m_nCases);
        ReportProgress(RunStage::kSubstituting, 0.3);
        RefineSolution(*this);
        ReportProgress(RunStage::kSubstituting, 0.5);
        // Loads or properties so large that the results overflow: no file of NaN or inf.
        for (int k = 0; k < m_nCases && ok && !StopRequested(); ++k) {
            const std::string where = FirstNonFinite(*this, k);
            if (where.empty()) continue;
            ShowMessage(FormatString("错误：工况%d的计算结果不是有限数值(数据过大)!", k + 1),
                        where);
            ok = false;
        }
        ok = ok && !StopRequested();
        if (ok) CheckEquilibrium(*this);
        ok = ok && WriteCaseFiles(results);
    } else {
        ok = false;
    }
    if (ok && m_nIlElements > 0) ok = ComputeInfluenceLines();
    if (ok && m_nCases > 0) {
        ReportProgress(RunStage::kResultFile, 0);
        ok = WriteResults();
    }
    ok = ok && !StopRequested();
    if (!ok) {
        // The previous result files stay as they were rather than partial ones.
        m_outFile.Discard();
        return false;
    }
    if (!m_outFile.CloseInto(results)) {
        ShowMessage(FormatString("错误：无法写入文件%s.out!", m_baseName.c_str()));
        return false;
    }
    // The last moment a stop still leaves the old files.
    if (StopRequested()) return false;
    const std::string failed = results.Commit();
    if (!failed.empty()) {
        ShowMessage(FormatString("错误：无法写入文件%s!", failed.c_str()));
        return false;
    }
    ReportProgress(RunStage::kResultFile, 1);
    return true;
}

const char* CPlaneFrame::RunStageText(int stage) {
    static const char* const kText[] = {"读入数据",         "形成总刚度矩阵", "分解总刚度矩阵",
                                         "回代求解",         "写入各工况内力文件", "写入结果文件"};
    return stage >= 0 && stage < 6 ? kText[stage] : "";
}

void CPlaneFrame::ReportProgress(RunStage stage, double fraction) {
    // Where each stage begins on the bar, from the times of a 10^5-element girder.
    static constexpr int kStart[] = {0, 13, 19, 21, 27, 90, 100};
    const int s = static_cast<int>(stage);
    const double share = std::clamp(fraction, 0.0, 1.0);
    const int percent = kStart[s] + static_cast<int>(share * (kStart[s + 1] - kStart[s]));
    m_runStage.store(s);
    // Two case-file writers report at once: only a higher percentage is news.
    int old = m_runProgress.load();
    while (percent > old) {
        if (m_runProgress.compare_exchange_weak(old, percent)) {
            ShowStatus(FormatString("正在分析：%s...(%d%%)", RunStageText(s), percent));
            return;
        }
    }
}
