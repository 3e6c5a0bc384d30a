// Construction, destruction and the static analysis run of the engine.
#include "engine/PlaneFrame.h"

#include "platform/Format.h"
#include "platform/Host.h"

namespace {

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
}

CPlaneFrame::~CPlaneFrame() {
    m_femFile.Close();
    m_outFile.Close();  // a model read but never solved keeps its echo
    if (m_keepScratchFiles) return;
    for (int k = 1; k <= m_nCaseFiles; ++k) RemoveFile(CaseBinaryPath(k));
    RemoveFile(StiffnessPath());
    RemoveFile(HuozaiPath());
}

bool CPlaneFrame::Solve() {
    bool ok = MarkSupports() && LayoutBand() && Assemble();
    if (ok) {
        ApplySupports();
        ok = Factorize();
    }
    if (ok) {
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
        ok = WriteCaseFiles();
    }
    if (ok && m_nIlElements > 0) ok = ComputeInfluenceLines();
    if (ok && m_nCases > 0) ok = WriteResults();
    if (!ok) {
        // The previous result file stays as it was rather than a partial one.
        m_outFile.Discard();
        return false;
    }
    const bool written = m_outFile.Close();
    if (ok && !written) {
        ShowMessage(FormatString("错误：无法写入文件%s.out!", m_baseName.c_str()));
        ok = false;
    }
    return ok;
}
