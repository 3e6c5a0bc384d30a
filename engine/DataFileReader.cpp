// Reading the data file: every block in order, its echo into the result file and the model
// copy B_huozai.txt.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <new>

#include "engine/PlaneFrame.h"
#include "platform/Format.h"
#include "platform/Host.h"
#include "platform/Memory.h"

namespace {

constexpr double kPi = 3.141592653589793;

// Reference sections are not range-checked (an invalid one just means no lowering), so keep
// whatever the file says, interpolated or not, inside int range.
// Nodes, sections and material of an element from its five stored indices.
void SetConnectivity(Element& e, const int v[5]) {
    e.iNode = v[0];
    e.jNode = v[1];
    e.iSection = v[2];
    e.jSection = v[3];
    e.material = v[4];
}

int ClampIndex(long long v) {
    return static_cast<int>(std::clamp<long long>(v, INT_MIN + 1LL, INT_MAX - 1LL));
}

// A field quoted in a message, cut to a readable length.
std::string ShortToken(std::string_view token) {
    return token.size() <= 40 ? std::string(token) : std::string(token.substr(0, 40)) + "...";
}

}  // namespace

void CPlaneFrame::HzPrintf(const char* fmt, ...) {
    if (m_hzClosed) return;
    va_list ap;
    va_start(ap, fmt);
    AppendFormatV(m_hzText, fmt, ap);
    va_end(ap);
}

void CPlaneFrame::WriteHzFile() {
    // The live-load placement works from m_hzText; the file is written for users and other
    // tools, so a failure to write it is not an analysis failure.
    WriteWholeFile(HuozaiPath(), m_hzText);
}

std::string CPlaneFrame::ReadPlace(const std::string& item) const {
    std::string place = FormatString("文件%s第%d行", m_readPath.c_str(), m_femFile.LineNumber());
    if (!item.empty()) place += "：" + item;
    return place;
}

bool CPlaneFrame::NextLine() {
    // Every 4096 lines of the data file: the reading's progress, and a stop asked for ends
    // the reading without a message.
    if ((m_femFile.LineNumber() & 4095) == 4095 && m_readPath == m_femPath) {
        if (StopRequested()) return false;
        ReportProgress(RunStage::kReading, m_femFile.Fraction());
    }
    if (m_femFile.Next(m_lineBuf)) {
        const std::string_view bad = CFieldScanner::InvalidNumber(m_lineBuf);
        if (bad.empty()) return true;
        ShowMessage(FormatString("错误：数据文件中的数值%s无效!", ShortToken(bad).c_str()));
        return false;
    }
    if (m_femFile.TooLong()) {
        ShowMessage("错误：数据文件中的行过长(超过1 MiB)!");
        return false;
    }
    ShowMessage("缺少足够的数据！");
    return false;
}

bool CPlaneFrame::Read() {
    bool ok = false;
    m_readPath = m_femPath;
    m_runProgress = 0;
    m_runStage = 0;
    if (!m_femFile.IsOpen()) {
        ShowMessage(FormatString("错误：无法打开数据文件%s!", m_femPath.c_str()));
    } else if (!m_outFile.IsOpen()) {
        ShowMessage(FormatString("错误：无法创建结果文件%s!", m_outFile.Path().c_str()));
    } else {
        // Every message of the reading names the file and line it stopped at.
        const CMessageDetail where(
            [](const void* self) { return static_cast<const CPlaneFrame*>(self)->ReadPlace(); },
            this);
        ok = ReadControl() && ReadNodes() && ReadSlaves() && ReadMaterials() && ReadSections() &&
             ReadElements() && ComputeGeometry() && ReadSupports() && ReadLoads() &&
             ReadInfluenceBlock();
    }
    m_femFile.Close();
    if (m_hzCreated) WriteHzFile();
    // A model that fails to read leaves the previous result file as it was.
    if (!ok) m_outFile.Discard();
    return ok;
}

bool CPlaneFrame::ReadControl() {
    if (!NextLine()) return false;
    int c[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    CFieldScanner f(m_lineBuf);
    for (int& v : c) f.Int(v);
    m_nNodes = c[0];
    m_nElements = c[1];
    m_nSlaves = c[2];
    m_nMaterials = c[3];
    m_nSections = c[4];
    m_nCases = c[5];
    m_nSupports = c[6];
    m_nIlElements = c[7];
    m_outFile.Printf("节点数:%5d  单元数:%5d  从节点数:%5d  材　料　数：%5d\n", m_nNodes,
                     m_nElements, m_nSlaves, m_nMaterials);
    m_outFile.Printf("\n截面数:%5d  工况数:%5d  约束点数:%5d  影响线单元：%5d\n", m_nSections,
                     m_nCases, m_nSupports, m_nIlElements);
    // Negative optional counts are as wrong as missing required ones.
    if (m_nNodes < 1 || m_nElements < 1 || m_nMaterials < 1 || m_nSections < 1 || m_nSupports < 1 ||
        m_nSlaves < 0 || m_nCases < 0 || m_nIlElements < 0) {
        ShowMessage("总控数据错误！");
        return false;
    }
    m_hzCreated = true;
    HzPrintf("%5d%5d%5d%5d%5d%5d%5d%5d\n", m_nNodes, m_nElements, m_nSlaves, m_nMaterials,
             m_nSections, 1, m_nSupports, 0);

    // Absurd counts must end in the out-of-memory message, not in a crash.
    const double bytes = 72.0 * m_nNodes + 48.0 * m_nElements + 40.0 * m_nSections +
                         16.0 * m_nMaterials + 32.0 * m_nSupports;
    if (m_nNodes > INT_MAX / 3 || !FitsInMemory(bytes)) {
        ShowMessage("错误：内存不够!");
        return false;
    }
    try {
        m_nDof = 3 * m_nNodes;
        m_nodes.assign(static_cast<size_t>(m_nNodes), Node{});
        m_supports.assign(static_cast<size_t>(m_nSupports), Support{});
        m_elements.assign(static_cast<size_t>(m_nElements), Element{});
        m_materials.assign(static_cast<size_t>(m_nMaterials), Material{});
        m_sections.assign(static_cast<size_t>(m_nSections), Section{});
        m_dofNum.resize(static_cast<size_t>(m_nNodes));
        for (int n = 0; n < m_nNodes; ++n) m_dofNum[n] = {3 * n, 3 * n + 1, 3 * n + 2};
        m_supportLoad.assign(static_cast<size_t>(m_nDof), 0.0);
    } catch (const std::bad_alloc&) {
        ShowMessage("错误：内存不够!");
        return false;
    }
    return true;
}

bool CPlaneFrame::ReadNodes() {
    m_outFile.Printf("\n\n%s\n", "节点坐标:");
    m_nodeRefs.assign(static_cast<size_t>(m_nNodes), -1);
    int defined = 0;
    int prev = 0;  // previous line's node number
    bool first = true;
    // A number given twice would leave another node where the file never put one.
    std::vector<char> given(static_cast<size_t>(m_nNodes), 0);
    auto give = [&](int n) {
        if (given[n]) {
            ShowMessage("节点号错误!", ReadPlace(FormatString("节点%d重复", n + 1)));
            return false;
        }
        given[n] = 1;
        return true;
    };
    while (defined < m_nNodes) {
        if (!NextLine()) return false;
        int num = 0, ref = 0, flag = 0;
        double x = 0, y = 0;
        CFieldScanner(m_lineBuf).Int(num).Double(x).Double(y).Int(ref).Int(flag);
        HzPrintf("%5d%20.6lf%20.6lf%5d%5d\n", num, x, y, ref, flag);
        if (num < 1 || num > m_nNodes) {
            ShowMessage("节点号错误!");
            return false;
        }
        const int n = num - 1;
        if (!first && flag == 1 && num - prev >= 2) {
            const int p = prev - 1;
            const Node np = m_nodes[p];
            const long long refP = m_nodeRefs[p];
            const long long refStep = (static_cast<long long>(ref) - 1 - refP) / (n - p);
            for (int k = p + 1; k < n; ++k) {
                if (!give(k)) return false;
                Node& g = m_nodes[k];
                g.x = np.x + (k - p) * (x - np.x) / (n - p);
                g.y = np.y + (k - p) * (y - np.y) / (n - p);
                m_nodeRefs[k] = ClampIndex(refP + (k - p) * refStep);
                m_outFile.Printf("%5d%20.6lf%20.6lf%5d\n", k + 1, g.x, g.y, m_nodeRefs[k] + 1);
                ++defined;
            }
        }
        if (!give(n)) return false;
        m_nodes[n] = Node{x, y};
        m_nodeRefs[n] = ClampIndex(static_cast<long long>(ref) - 1);
        m_outFile.Printf("%5d%20.6lf%20.6lf%5d\n", num, x, y, ref);
        if (first) {
            m_xMin = m_xMax = x;
            m_yMin = m_yMax = y;
        } else {
            m_xMin = std::min(m_xMin, x);
            m_xMax = std::max(m_xMax, x);
            m_yMin = std::min(m_yMin, y);
            m_yMax = std::max(m_yMax, y);
        }
        ++defined;
        prev = num;
        first = false;
    }
    return true;
}

bool CPlaneFrame::ReadSlaves() {
    m_outFile.Printf("\n从节点信息:");
    int defined = 0;
    int prev = 0;
    std::array<int, 3> prevMasters{-1, -1, -1};
    bool first = true;
    while (defined < m_nSlaves) {
        if (!NextLine()) return false;
        int s = 0, flag = 0;
        int m[3] = {0, 0, 0};
        CFieldScanner(m_lineBuf).Int(s).Int(m[0]).Int(m[1]).Int(m[2]).Int(flag);
        HzPrintf("%5d%5d%5d%5d%5d\n", s, m[0], m[1], m[2], flag);
        if (s < 1 || s > m_nNodes) {
            ShowMessage("从节点号错误!");
            return false;
        }
        for (int d = 0; d < 3; ++d) {
            if (m[d] < 0 || m[d] > m_nNodes) {
                ShowMessage("从节点对应的主节点号错误!");
                return false;
            }
        }
        if (s == m[0] || s == m[1] || s == m[2]) {
            ShowMessage("错误：从节点号等于主节点号!");
            return false;
        }
        if (!first && flag == 1 && s - prev >= 2) {
            const int w = s - prev;
            for (int k = prev + 1; k < s; ++k) {
                int gm[3];
                for (int d = 0; d < 3; ++d) {
                    gm[d] = prevMasters[d] + ((m[d] - 1 - prevMasters[d]) / w) * (k - prev);
                    if (gm[d] >= 0) m_dofNum[k - 1][d] = m_dofNum[gm[d]][d];
                }
                m_outFile.Printf("\n%5d%5d%5d%5d", k, gm[0] >= 0 ? gm[0] + 1 : 0,
                                 gm[1] >= 0 ? gm[1] + 1 : 0, gm[2] >= 0 ? gm[2] + 1 : 0);
                ++defined;
            }
        }
        for (int d = 0; d < 3; ++d)
            if (m[d] >= 1) m_dofNum[s - 1][d] = m_dofNum[m[d] - 1][d];
        m_outFile.Printf("\n%5d%5d%5d%5d", s, m[0], m[1], m[2]);
        prevMasters = {m[0] - 1, m[1] - 1, m[2] - 1};
        prev = s;
        first = false;
        ++defined;
    }
    return true;
}

bool CPlaneFrame::ReadMaterials() {
    m_outFile.Printf("\n\n%s\n", "材料信息: (弹性模量(Pa)、热膨胀系数)");
    for (int i = 0; i < m_nMaterials; ++i) {
        if (!NextLine()) return false;
        unsigned num = 0;
        double E = 0, alpha = 1e-5;
        CFieldScanner(m_lineBuf).UInt(num).Double(E).Double(alpha);
        HzPrintf("%5d%20.6e%20.6e\n", static_cast<int>(num), E, alpha);
        m_outFile.Printf("%5u%15e%15e\n", num, E, alpha);
        if (num < 1 || num > static_cast<unsigned>(m_nMaterials)) {
            ShowMessage("材料号错误!");
            return false;
        }
        m_materials[num - 1] = Material{E, alpha};
    }
    return true;
}

bool CPlaneFrame::ReadOutline(Section& s) {
    if (!NextLine()) return false;
    int n = 0;
    CFieldScanner(m_lineBuf).Int(n);
    HzPrintf("%d\n", n);
    if (n < 1) {
        ShowMessage("错误：节线条数小于1!");
        return false;
    }
    double A = 0, S = 0, J = 0;
    double w0 = 0, y0 = 0, yFirst = 0;
    for (int k = 0; k < n; ++k) {
        if (!NextLine()) return false;
        double w = 0, y = 0;
        CFieldScanner(m_lineBuf).Double(w).Double(y);
        HzPrintf("%lf %lf\n", w, y);
        if (k == 0) {
            yFirst = y;
        } else {
            const double d = y - y0, a = w0, b = w;
            J += d * (2 * S + d * (d * (a + (b - a) / 4) / 3 + A));
            S += d * (d * (a + (b - a) / 3) / 2 + A);
            A += d * (a + b) / 2;
        }
        w0 = w;
        y0 = y;
    }
    const double c = S / A;
    s.A = A;
    s.hBottom = c;
    s.hTop = y0 - yFirst - c;
    s.I = J - A * c * c;
    return true;
}

bool CPlaneFrame::ReadSections() {
    m_outFile.Printf("\n%s\n", "截面信息:(面积、惯性积、容重、中性轴以上高度、中性轴以下高度)");
    for (int i = 0; i < m_nSections; ++i) {
        if (!NextLine()) return false;
        unsigned num = 0, kind = 0;
        double A = 0, I = 0, gamma = 0, hTop = 0, hBottom = 0;
        CFieldScanner(m_lineBuf)
            .UInt(num)
            .Double(A)
            .Double(I)
            .Double(gamma)
            .UInt(kind)
            .Double(hTop)
            .Double(hBottom);
        // Thirteen significant digits: a steel section's I of 1.234567e-5 must survive the copy.
        HzPrintf("%5d%20.13g%20.13g%20.13g%5d%20.13g%20.13g\n", static_cast<int>(num), A, I, gamma,
                 static_cast<int>(kind), hTop, hBottom);
        if (num < 1 || num > static_cast<unsigned>(m_nSections)) {
            ShowMessage("截面号错误!");
            return false;
        }
        Section s{A, I, 0, hTop, hBottom};
        if (kind == 1) {
            if (!ReadOutline(s)) return false;
        } else if (kind == 2) {
            if (!NextLine()) return false;
            double R = 0, r = 0;
            CFieldScanner(m_lineBuf).Double(R).Double(r);
            HzPrintf("%lf %lf\n", R, r);
            s.A = kPi * (R * R - r * r);
            s.I = kPi * (R * R - r * r) * (R * R + r * r) / 4;
            s.hTop = s.hBottom = R;
        } else if (kind == 3) {
            if (!NextLine()) return false;
            double b = 0, h = 0, d = 0, l = 0, n = 0;
            CFieldScanner(m_lineBuf).Double(b).Double(h).Double(d).Double(l).Double(n);
            HzPrintf("%lf %lf %lf %lf %lf\n", b, h, d, l, n);
            s.A = b * h - n * d * (kPi * d / 4 + l);
            s.I = b * h * h * h / 12 - n * d * l * l * l / 12 -
                  n * d * d * (d * l / 6 + kPi * d * d / 64 + kPi * l * l / 16);
            s.hTop = s.hBottom = h / 2;
        } else if (s.hTop < 1e-8 || s.hBottom < 1e-8) {
            s.hTop = s.hBottom = std::sqrt(3 * s.I / s.A);
        }
        // A zero area (an outline of one point, say) would turn every result into NaN; a
        // negative one (an outline that turns back) or a negative inertia into results of a
        // structure that cannot exist.
        if (!(s.A > 0) || !(s.I >= 0) || !std::isfinite(s.A) || !std::isfinite(s.I) ||
            !std::isfinite(s.hTop) || !std::isfinite(s.hBottom)) {
            ShowMessage(FormatString("错误：截面%u的面积为零或截面特性无效!", num),
                        ReadPlace(FormatString("截面%u：面积%g，惯性矩%g", num, s.A, s.I)));
            return false;
        }
        s.weight = gamma * s.A;
        m_sections[num - 1] = s;
        m_outFile.Printf("\n%5u%15e%15e%15e%15e%15e", num, s.A, s.I, gamma, s.hTop, s.hBottom);
    }
    // Node coordinates are given at the top face; the engine works on the neutral axis.
    for (int n = 0; n < m_nNodes; ++n) {
        const int ref = m_nodeRefs[n];
        if (ref >= 0 && ref < m_nSections) m_nodes[n].y -= m_sections[ref].hTop;
    }
    m_nodeRefs.clear();
    m_nodeRefs.shrink_to_fit();
    return true;
}

bool CPlaneFrame::ReadElements() {
    m_outFile.Printf("\n\n单元信息:(i节点号、j节点号、i截面号、j截面号、材料号)\n");
    int defined = 0;
    unsigned prev = 0;
    bool first = true;
    const auto nodes = static_cast<unsigned>(m_nNodes);
    const auto sections = static_cast<unsigned>(m_nSections);
    const auto materials = static_cast<unsigned>(m_nMaterials);
    std::vector<char> given(static_cast<size_t>(m_nElements), 0);
    auto give = [&](int e) {
        if (given[e]) {
            ShowMessage("单元号错误!", ReadPlace(FormatString("单元%d重复", e + 1)));
            return false;
        }
        given[e] = 1;
        return true;
    };
    while (defined < m_nElements) {
        if (!NextLine()) return false;
        unsigned v[7] = {0, 0, 0, 0,
                         0, 0, 0};  // number, i, j, i section, j section, material, flag
        CFieldScanner f(m_lineBuf);
        for (unsigned& x : v) f.UInt(x);
        HzPrintf("%5d%5d%5d%5d%5d%5d%5d\n", static_cast<int>(v[0]), static_cast<int>(v[1]),
                 static_cast<int>(v[2]), static_cast<int>(v[3]), static_cast<int>(v[4]),
                 static_cast<int>(v[5]), static_cast<int>(v[6]));
        if (v[0] < 1 || v[0] > static_cast<unsigned>(m_nElements)) {
            ShowMessage("单元号错误!");
            return false;
        }
        if (v[1] < 1 || v[1] > nodes || v[2] < 1 || v[2] > nodes) {
            ShowMessage("单元节点错误!");
            return false;
        }
        if (v[3] < 1 || v[3] > sections || v[4] < 1 || v[4] > sections) {
            ShowMessage("单元截面号错误!");
            return false;
        }
        if (v[5] < 1 || v[5] > materials) {
            ShowMessage("单元材料号错误!");
            return false;
        }
        const int n = static_cast<int>(v[0]) - 1;
        const int cur[5] = {static_cast<int>(v[1]) - 1, static_cast<int>(v[2]) - 1,
                            static_cast<int>(v[3]) - 1, static_cast<int>(v[4]) - 1,
                            static_cast<int>(v[5]) - 1};
        if (!first && v[6] == 1 && v[0] >= prev + 2) {
            const int p = static_cast<int>(prev) - 1;
            const Element ep = m_elements[p];
            const int pv[5] = {ep.iNode, ep.jNode, ep.iSection, ep.jSection, ep.material};
            int g[5];
            for (int k = p + 1; k < n; ++k) {
                if (!give(k)) return false;
                for (int d = 0; d < 5; ++d) g[d] = pv[d] + ((cur[d] - pv[d]) / (n - p)) * (k - p);
                SetConnectivity(m_elements[k], g);
                m_outFile.Printf("%5u%9u%9u%9u%9u%9u\n", k + 1, g[0] + 1, g[1] + 1, g[2] + 1,
                                 g[3] + 1, g[4] + 1);
                ++defined;
            }
        }
        if (!give(n)) return false;
        SetConnectivity(m_elements[n], cur);
        m_outFile.Printf("%5u%9u%9u%9u%9u%9u\n", v[0], v[1], v[2], v[3], v[4], v[5]);
        prev = v[0];
        first = false;
        ++defined;
    }
    return true;
}

bool CPlaneFrame::ComputeGeometry() {
    for (int e = 0; e < m_nElements; ++e) {
        Element& el = m_elements[e];
        const Node& a = m_nodes[el.iNode];
        const Node& b = m_nodes[el.jNode];
        const double dx = b.x - a.x, dy = b.y - a.y;
        el.length = std::sqrt(dx * dx + dy * dy);
        // Coinciding end nodes leave the element without a direction.
        if (!(el.length > 0) || !std::isfinite(el.length)) {
            ShowMessage(FormatString("错误：单元%d的长度为零!", e + 1));
            return false;
        }
        el.cos = dx / el.length;
        el.sin = dy / el.length;
        // The stiffness of a tapered member goes through the ratio I/A and its logarithm,
        // which need a positive inertia at both ends.
        if (el.iSection != el.jSection) {
            for (const int sec : {el.iSection, el.jSection}) {
                if (m_sections[sec].I > 0) continue;
                ShowMessage(FormatString("错误：截面%d的面积为零或截面特性无效!", sec + 1),
                            FormatString("单元%d：变截面单元的截面%d惯性矩为%g", e + 1, sec + 1,
                                         m_sections[sec].I));
                return false;
            }
        }
    }
    return true;
}

bool CPlaneFrame::ReadSupports() {
    for (int i = 0; i < m_nSupports; ++i) {
        if (!NextLine()) return false;
        unsigned node = 0, code = 0;
        double dx = 0, dy = 0, drot = 0;
        CFieldScanner(m_lineBuf).UInt(node).UInt(code).Double(dx).Double(dy).Double(drot);
        HzPrintf("%5d%5d%20.6lf%20.6lf%20.6lf\n", static_cast<int>(node), static_cast<int>(code),
                 dx, dy, drot);
        if (node < 1 || node > static_cast<unsigned>(m_nNodes)) {
            ShowMessage("受约束节点号错误！");
            return false;
        }
        // Only the three digits matter; keep the code in int range.
        m_supports[i] =
            Support{static_cast<int>(node) - 1, static_cast<int>(code % 1000u), dx, dy, drot};
        if (code >= 1000) m_supports[i].code += 100;
    }
    return true;
}

bool CPlaneFrame::ReadLoads() {
    if (m_nCases < 1) {
        // The copy's control line says one load case, so it needs the nodal-load count even
        // here: the placement appends the element loads to it as a ready-to-run data file.
        HzPrintf("%5d\n", 0);
        m_hzClosed = true;
        return true;
    }
    const double bytes = 8.0 * m_nCases * static_cast<double>(m_nDof) * 2;
    if (!FitsInMemory(bytes)) {
        ShowMessage("错误：内存不够!");
        return false;
    }
    try {
        m_disp.assign(static_cast<size_t>(m_nCases) * static_cast<size_t>(m_nDof), 0.0);
    } catch (const std::bad_alloc&) {
        ShowMessage("错误：内存不够!");
        return false;
    }
    if (!NextLine()) return false;
    int count = 0;
    CFieldScanner(m_lineBuf).Int(count);
    m_outFile.Printf("\n节点荷载个数：%d\n", count);
    HzPrintf("%5d\n", 0);
    m_hzClosed = true;
    m_nNodalLoads = count;
    for (int i = 0; i < count; ++i) {
        if (!NextLine()) return false;
        unsigned node = 0, lc = 0;
        double fx = 0, fy = 0, m = 0;
        CFieldScanner(m_lineBuf).UInt(node).UInt(lc).Double(fx).Double(fy).Double(m);
        m_outFile.Printf("\n%5d %5d %16.6e %16.6e %16.6e", static_cast<int>(node),
                         static_cast<int>(lc), fx, fy, m);
        if (node < 1 || node > static_cast<unsigned>(m_nNodes) || lc < 1 ||
            lc > static_cast<unsigned>(m_nCases)) {
            ShowMessage("节点荷载(节点号、工况)错误！");
            return false;
        }
        const NodalLoad load{static_cast<int>(node) - 1, static_cast<int>(lc) - 1, fx, fy, m};
        m_nodalLoads.push_back(load);
        double* v = &m_disp[static_cast<size_t>(load.loadCase) * m_nDof];
        v[m_dofNum[load.node][0]] += fx;
        v[m_dofNum[load.node][1]] += fy;
        v[m_dofNum[load.node][2]] += m;
    }
    if (!NextLine()) return false;
    unsigned ecount = 0;
    CFieldScanner(m_lineBuf).UInt(ecount);
    m_outFile.Printf("\n\n单元荷载个数：%d\n", static_cast<int>(ecount));
    m_nElemLoads = static_cast<int>(ecount);
    if (ecount > 0) m_elemLoads.assign(static_cast<size_t>(m_nElements), {});
    for (unsigned i = 0; i < ecount; ++i) {
        if (!NextLine()) return false;
        unsigned e = 0, lc = 0, type = 0;
        double p[7] = {0, 0, 0, 0, 0, 0, 0};
        CFieldScanner f(m_lineBuf);
        f.UInt(e).UInt(lc).UInt(type);
        for (double& x : p) f.Double(x);
        m_outFile.Printf("\n%5d%5d%5d%13.3e%13.3e%13.3e%13.3e%13.3e%13.3e%13.3e",
                         static_cast<int>(e), static_cast<int>(lc), static_cast<int>(type), p[0],
                         p[1], p[2], p[3], p[4], p[5], p[6]);
        if (e < 1 || e > static_cast<unsigned>(m_nElements) || lc < 1 ||
            lc > static_cast<unsigned>(m_nCases) || type > 7) {
            ShowMessage("单元荷载(单元号、工况、类型)错误!");
            return false;
        }
        AddElementLoad(static_cast<int>(e) - 1, static_cast<int>(lc) - 1, static_cast<int>(type),
                       p);
    }
    AddEquivalentLoads();
    m_loadOrig = m_disp;
    return true;
}

bool CPlaneFrame::ReadInfluenceBlock() {
    if (m_nIlElements < 1) return true;
    m_outFile.Printf("\n%s\n", "影响线单元:");
    if (!FitsInMemory(4.0 * m_nIlElements)) {
        ShowMessage("错误：内存不够!");
        return false;
    }
    m_ilElements.reserve(static_cast<size_t>(m_nIlElements));
    while (static_cast<int>(m_ilElements.size()) < m_nIlElements) {
        if (!NextLine()) return false;
        CFieldScanner f(m_lineBuf);
        // Any white space separates the numbers; numbers beyond the count are ignored.
        while (static_cast<int>(m_ilElements.size()) < m_nIlElements) {
            int num = 0;
            if (!f.Int(num).Ok()) break;
            const size_t read = m_ilElements.size() + 1;
            m_outFile.Printf("%8u", static_cast<unsigned>(num));
            if (read % 10 == 0) m_outFile.Printf("\n");
            if (num < 1 || num > m_nElements) {
                ShowMessage("影响线单元错误！");
                return false;
            }
            const Element& el = m_elements[num - 1];
            const double xi = m_nodes[el.iNode].x, xj = m_nodes[el.jNode].x;
            if (m_ilElements.empty()) {
                m_ilXMin = std::min(xi, xj);
                m_ilXMax = std::max(xi, xj);
            } else {
                m_ilXMin = std::min({m_ilXMin, xi, xj});
                m_ilXMax = std::max({m_ilXMax, xi, xj});
            }
            m_ilElements.push_back(num - 1);
        }
    }
    m_ilSampleCount = static_cast<int>(std::lround((m_ilXMax - m_ilXMin) * 10));

    if (!NextLine()) return false;
    int count = 0;
    CFieldScanner(m_lineBuf).Int(count);
    m_outFile.Printf("\n%s\n", "影响线条数:");
    m_outFile.Printf("%u", static_cast<unsigned>(count));
    if (count < 0) {
        ShowMessage("影响线条数错误！");
        return false;
    }
    m_nIlLines = count;
    if (!FitsInMemory(72.0 * (static_cast<double>(count) + 1))) {
        ShowMessage("错误：内存不够！");
        return false;
    }
    try {
        m_ilRequests.assign(static_cast<size_t>(count) + 1, InfluenceRequest{});
    } catch (const std::bad_alloc&) {
        ShowMessage("错误：内存不够！");
        return false;
    }
    if (count > 0) m_outFile.Printf("\n%s\n", "待求影响线信息:");
    for (int i = 0; i < count; ++i) {
        if (!NextLine()) return false;
        int e = 0, q = 0;
        double pos = 0;
        CFieldScanner(m_lineBuf).Int(e).Double(pos).Int(q);
        m_outFile.Printf("%5d  %10.3lf  %5d\n", e, pos, q);
        if (e < 1 || e > m_nElements || q < 1 || q > 6) {
            ShowMessage("待求影响线信息有误！");
            return false;
        }
        // A position is a fraction of the element: beyond its ends it was extrapolated.
        if (!(pos >= 0 && pos <= 1)) {
            ShowMessage("待求影响线信息有误！", ReadPlace(FormatString("位置%g不在0~1之间", pos)));
            return false;
        }
        InfluenceRequest& r = m_ilRequests[i];
        r.element = e - 1;
        r.position = pos;
        r.quantity = q;
    }
    return true;
}
