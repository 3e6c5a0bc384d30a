// The per-case internal-force files and the static results appended to the result file.
#include <algorithm>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>

#include "engine/CaseFile.h"
#include "engine/PlaneFrame.h"
#include "platform/BinaryFile.h"
#include "platform/Format.h"
#include "platform/Host.h"

namespace {

// Drops the leading zero of three-digit exponents ("e+001" -> "e+01").
void ShortenExponents(std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        out.push_back(s[i]);
        if (s[i] == 'e' && i + 2 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-') &&
            s[i + 2] == '0') {
            out.push_back(s[i + 1]);
            i += 2;
        }
    }
    s.swap(out);
}

}  // namespace

std::string CPlaneFrame::CaseBinaryPath(int k) const {
    return FormatString("%s.%d", m_baseName.c_str(), k);
}

std::string CPlaneFrame::CaseTextPath(int k) const {
    return FormatString("%s_工况_%d.out", m_baseName.c_str(), k);
}

// Writes the binary and text files of one load case (1-based); on failure returns the path
// that could not be written, else an empty string.
std::string CPlaneFrame::WriteCaseFile(int k, CPendingReplacements& pending,
                                       std::atomic<long long>& done) {
    const int lc = k - 1;
    CCaseFileOut bin;
    CTextOut txt;
    if (!bin.Open(CaseBinaryPath(k))) return CaseBinaryPath(k);
    if (!txt.Open(CaseTextPath(k))) return CaseTextPath(k);
    txt.Printf("单元        位置           轴力              剪力             弯矩");
    ExtremeRecord ext[casefile::kValues];
    double rec[casefile::kElementValues];
    const double total = static_cast<double>(m_nElements) * m_nCases;
    for (int e = 0; e < m_nElements; ++e) {
        if ((e & 1023) == 1023) {
            // Stopped: both scratch files go with bin and txt, the old files stay.
            if (StopRequested()) return std::string();
            ReportProgress(RunStage::kCaseFiles, static_cast<double>(done += 1024) / total);
        }
        txt.Printf("\n\n%5d", e + 1);
        const EndForceSet ef = EndForces(e, lc);
        const double length = m_elements[e].length;
        for (int p = 0; p < casefile::kPoints; ++p) {
            // From the index: the end point is the end, and a load standing exactly at a
            // printed point is on the same side of it at every point.
            const double x = length * p / (casefile::kPoints - 1);
            double v[3];
            ForcesAt(e, lc, x, ef, v[0], v[1], v[2]);
            rec[3 * p] = v[0];
            rec[3 * p + 1] = v[1];
            rec[3 * p + 2] = v[2];
            if (p % 10 == 0) txt.Printf("\n%19.6lf%17.6e%17.6e%17.6e", p * 0.01, v[0], v[1], v[2]);
            for (int q = 0; q < 3; ++q) {
                ExtremeRecord& xq = ext[q];
                if (e == 0 && p == 0) {
                    xq.maxValue = xq.minValue = v[q];
                } else if (v[q] > xq.maxValue) {
                    xq.maxValue = v[q];
                    xq.maxElement = e;
                    xq.maxAt = x;
                } else if (v[q] < xq.minValue) {
                    xq.minValue = v[q];
                    xq.minElement = e;
                    xq.minAt = x;
                }
            }
        }
        bin.Element(rec);
    }
    bin.Extremes(ext);
    const bool binOk = bin.CloseInto(pending);
    const bool txtOk = txt.CloseInto(pending);
    if (!binOk) return CaseBinaryPath(k);
    if (!txtOk) return CaseTextPath(k);
    return std::string();
}

bool CPlaneFrame::WriteCaseFiles(CPendingReplacements& pending) {
    // The cases are independent: two workers share them, each writing whole files, so the
    // files are the same as a serial run's. The first failure in case order is reported.
    m_nCaseFiles = m_nCases;
    std::vector<std::string> failed(static_cast<size_t>(std::max(m_nCases, 0)));
    const int workers = m_nCases >= 2 ? 2 : 1;
    std::atomic<long long> done{0};
    ReportProgress(RunStage::kCaseFiles, 0);
    auto work = [&](int first) {
        for (int k = 1 + first; k <= m_nCases; k += workers)
            failed[k - 1] = WriteCaseFile(k, pending, done);
    };
    std::thread helper;
    if (workers == 2) {
        try {
            helper = std::thread(work, 1);
        } catch (const std::system_error&) {
            // No thread to be had: this thread writes every case.
        } catch (const std::bad_alloc&) {
            // Nor memory for its start: the same.
        }
    }
    if (helper.joinable()) {
        work(0);
        helper.join();
    } else {
        for (int k = 1; k <= m_nCases; ++k) failed[k - 1] = WriteCaseFile(k, pending, done);
    }
    for (const std::string& path : failed) {
        if (path.empty()) continue;
        ShowMessage(FormatString("错误：无法写入文件%s!", path.c_str()));
        return false;
    }
    return !StopRequested();
}

bool CPlaneFrame::WriteResults() {
    CTextOut& out = m_outFile;
    out.Printf("\n结构位移(x位移、y位移、转角):");
    // Nodes and elements: the progress, and a stop asked for ends the writing.
    const double items = static_cast<double>(m_nNodes) + m_nElements;
    for (int n = 0; n < m_nNodes; ++n) {
        if ((n & 4095) == 4095) {
            if (StopRequested()) return false;
            ReportProgress(RunStage::kResultFile, n / items);
        }
        out.Printf("\n节点%5d:", n + 1);
        out.Printf("\n工况:");
        const auto& g = m_dofNum[n];
        for (int k = 0; k < m_nCases; ++k) {
            const double* d = &m_disp[static_cast<size_t>(k) * m_nDof];
            out.Printf("\n%5d ", k + 1);
            out.Printf("%20e%20e%20e", d[g[0]], d[g[1]], d[g[2]]);
        }
    }
    out.Printf("\n\n%s", "单元局部坐标系下的杆端力(Xi Yi Mi Xj Yj Mj):");
    std::string line;
    for (int e = 0; e < m_nElements; ++e) {
        if ((e & 4095) == 4095) {
            if (StopRequested()) return false;
            ReportProgress(RunStage::kResultFile, (m_nNodes + e) / items);
        }
        out.Printf("\n单元%5d:", e + 1);
        out.Printf("\n工况:");
        for (int k = 0; k < m_nCases; ++k) {
            const EndForceSet f = EndForces(e, k);
            line = FormatString("%5d%15e%15e%15e%15e%15e%15e", k + 1, f[0], f[1], f[2], f[3], f[4],
                                f[5]);
            ShortenExponents(line);
            out.Printf("\n%s", line.c_str());
        }
    }

    // The reactions need the matrix as assembled, before the supports changed it.
    const size_t size = static_cast<size_t>(m_diagAddr[m_nDof - 1] + 1);
    try {
        m_bandK0.resize(size);
    } catch (const std::bad_alloc&) {
        ShowMessage("内存不足,反力无法计算!");
        return false;
    }
    CBinaryIn stf;
    const bool read = stf.Open(StiffnessPath()) && stf.Size() >= static_cast<long long>(size * 8) &&
                      stf.Doubles(m_bandK0.data(), size);
    stf.Close();
    if (!read) {
        m_bandK0.clear();
        m_bandK0.shrink_to_fit();
        ShowMessage(
            FormatString("错误：总刚度文件%s缺失或不完整,反力无法计算!", StiffnessPath().c_str()));
        return false;
    }
    out.Printf("\n\n各工况的约束反力:");
    for (const Support& s : m_supports) {
        out.Printf("\n\n节点:%5u   自由度:%16u%16u%16u", static_cast<unsigned>(s.node + 1), 1u, 2u,
                   3u);
        const auto& g = m_dofNum[s.node];
        for (int k = 0; k < m_nCases; ++k) {
            out.Printf("\n工况:%5u%15s", static_cast<unsigned>(k + 1), " ");
            out.Printf("%16.6e%16.6e%16.6e", Reaction(k, g[0]), Reaction(k, g[1]),
                       Reaction(k, g[2]));
        }
    }
    m_bandK0.clear();
    m_bandK0.shrink_to_fit();
    return true;
}
