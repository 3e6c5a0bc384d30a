#include "export/ResultTables.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "dynamics/ResponseExtraction.h"
#include "engine/CaseFile.h"
#include "engine/PlaneFrame.h"
#include "export/ExportProgress.h"
#include "liveload/Combination.h"
#include "liveload/Envelope.h"
#include "liveload/LiveLoad.h"
#include "platform/BinaryFile.h"
#include "platform/Format.h"
#include "platform/Host.h"

namespace {

const char* const kDirections[3] = {"x位移 (m)", "y位移 (m)", "转角 (rad)"};

std::string CaseSuffix(int loadCase) {
    return FormatString(" 工况%d", loadCase + 1);
}

}  // namespace

const char* QuantityName(int quantity) {
    static const char* const kNames[4] = {"", "轴力", "剪力", "弯矩"};
    return quantity >= 1 && quantity <= 3 ? kNames[quantity] : "";
}

const char* QuantityUnit(int quantity) {
    return quantity == 3 ? "N·m" : "N";
}

std::vector<CTable> ModelTables(const CPlaneFrame& f) {
    std::vector<CTable> out;
    CTable nodes{"节点", "节点坐标", {"节点", "x (m)", "y (m)"}, {}};
    for (int n = 0; n < f.m_nNodes; ++n)
        nodes.rows.push_back({Num(n + 1), Num(f.m_nodes[n].x), Num(f.m_nodes[n].y)});
    out.push_back(std::move(nodes));

    CTable elements{
        "单元", "单元信息", {"单元", "i节点", "j节点", "i截面", "j截面", "材料", "长度 (m)"}, {}};
    for (int e = 0; e < f.m_nElements; ++e) {
        const Element& el = f.m_elements[e];
        elements.rows.push_back({Num(e + 1), Num(el.iNode + 1), Num(el.jNode + 1),
                                 Num(el.iSection + 1), Num(el.jSection + 1), Num(el.material + 1),
                                 Num(el.length)});
    }
    out.push_back(std::move(elements));

    CTable sections{"截面",
                    "截面信息",
                    {"截面", "面积 A (m²)", "惯性矩 I (m⁴)", "每延米重 (N/m)", "中性轴以上高度 (m)",
                     "中性轴以下高度 (m)"},
                    {}};
    for (int s = 0; s < f.m_nSections; ++s) {
        const Section& c = f.m_sections[s];
        sections.rows.push_back(
            {Num(s + 1), Num(c.A), Num(c.I), Num(c.weight), Num(c.hTop), Num(c.hBottom)});
    }
    out.push_back(std::move(sections));

    CTable materials{"材料", "材料信息", {"材料", "弹性模量 E (Pa)", "热膨胀系数 (1/℃)"}, {}};
    for (int m = 0; m < f.m_nMaterials; ++m)
        materials.rows.push_back(
            {Num(m + 1), Num(f.m_materials[m].E), Num(f.m_materials[m].alpha)});
    out.push_back(std::move(materials));

    CTable supports{"约束", "约束信息", {"节点", "约束码", "dx (m)", "dy (m)", "转角 (rad)"}, {}};
    for (const Support& s : f.m_supports)
        supports.rows.push_back({Num(s.node + 1), Text(FormatString("%03d", s.code % 1000)),
                                 Num(s.dx), Num(s.dy), Num(s.drot)});
    out.push_back(std::move(supports));

    CTable nodal{"节点荷载", "节点荷载", {"节点", "工况", "Fx (N)", "Fy (N)", "M (N·m)"}, {}};
    for (const NodalLoad& l : f.m_nodalLoads)
        nodal.rows.push_back(
            {Num(l.node + 1), Num(l.loadCase + 1), Num(l.fx), Num(l.fy), Num(l.m)});
    out.push_back(std::move(nodal));

    // The records the analysis works with, in element axes (1 concentrated, 3 uniform,
    // 5 linear, 7 temperature), as the data-file guide describes d1 ... d7.
    CTable element{"单元荷载",
                   "单元荷载（单元局部坐标）",
                   {"单元", "工况", "类型", "d1", "d2", "d3", "d4", "d5", "d6", "d7"},
                   {}};
    for (size_t e = 0; e < f.m_elemLoads.size(); ++e)
        for (const ElementLoad& l : f.m_elemLoads[e])
            element.rows.push_back({Num(static_cast<double>(e + 1)), Num(l.loadCase + 1),
                                    Num(l.type), Num(l.d1), Num(l.d2), Num(l.d3), Num(l.d4),
                                    Num(l.d5), Num(l.d6), Num(l.d7)});
    out.push_back(std::move(element));
    return out;
}

CTable DisplacementTable(const CPlaneFrame& f, int k) {
    CTable t{"位移" + CaseSuffix(k),
             "结构位移" + CaseSuffix(k),
             {"节点", kDirections[0], kDirections[1], kDirections[2]},
             {}};
    const double* d = &f.m_disp[static_cast<size_t>(k) * static_cast<size_t>(f.m_nDof)];
    for (int n = 0; n < f.m_nNodes; ++n) {
        const auto& g = f.m_dofNum[n];
        t.rows.push_back({Num(n + 1), Num(d[g[0]]), Num(d[g[1]]), Num(d[g[2]])});
    }
    return t;
}

CTable EndForceTable(const CPlaneFrame& f, int k) {
    CTable t{"杆端力" + CaseSuffix(k),
             "单元局部坐标系下的杆端力" + CaseSuffix(k),
             {"单元", "Xi (N)", "Yi (N)", "Mi (N·m)", "Xj (N)", "Yj (N)", "Mj (N·m)"},
             {}};
    for (int e = 0; e < f.m_nElements; ++e) {
        const EndForceSet ef = f.EndForces(e, k);
        t.rows.push_back(
            {Num(e + 1), Num(ef[0]), Num(ef[1]), Num(ef[2]), Num(ef[3]), Num(ef[4]), Num(ef[5])});
    }
    return t;
}

bool ReactionTable(CPlaneFrame& f, CTable& t) {
    t = CTable{"反力", "各工况的约束反力", {"节点", "工况", "Rx (N)", "Ry (N)", "M (N·m)"}, {}};
    if (f.m_nDof <= 0 || f.m_diagAddr.empty()) return true;
    const size_t size = static_cast<size_t>(f.m_diagAddr[f.m_nDof - 1] + 1);
    CBinaryIn stf;
    bool read = stf.Open(f.StiffnessPath()) && stf.Size() >= static_cast<long long>(size * 8);
    if (read) {
        f.m_bandK0.resize(size);
        read = stf.Doubles(f.m_bandK0.data(), size);
    }
    if (!read) {
        f.m_bandK0.clear();
        ShowMessage(FormatString("错误：总刚度文件%s缺失或不完整,反力无法计算!",
                                 f.StiffnessPath().c_str()));
        return false;
    }
    for (const Support& s : f.m_supports) {
        const auto& g = f.m_dofNum[s.node];
        for (int k = 0; k < f.m_nCases; ++k)
            t.rows.push_back({Num(s.node + 1), Num(k + 1), Num(f.Reaction(k, g[0])),
                              Num(f.Reaction(k, g[1])), Num(f.Reaction(k, g[2]))});
    }
    f.m_bandK0.clear();
    f.m_bandK0.shrink_to_fit();
    return true;
}

bool InternalForceTable(const CPlaneFrame& f, int k, CTable& t) {
    t = CTable{"内力" + CaseSuffix(k),
               "单元内力" + CaseSuffix(k),
               {"单元", "位置 (相对)", "位置 (m)", "轴力 N (N)", "剪力 Q (N)", "弯矩 M (N·m)"},
               {}};
    const std::string path = f.CaseBinaryPath(k + 1);
    CCaseFileIn in;
    if (!in.Open(path) || in.Size() < casefile::ExtremeOffset(f.m_nElements, 0)) {
        ShowMessage("内力文件" + path + "不存在或不完整！");
        return false;
    }
    for (int e = 0; e < f.m_nElements; ++e) {
        for (int p = 0; p <= 100; p += 10) {
            double rec[casefile::kValues];
            if (!in.Point(e, p, rec)) {
                ShowMessage("内力文件" + path + "不存在或不完整！");
                return false;
            }
            t.rows.push_back({Num(e + 1), Num(p * 0.01), Num(p * 0.01 * f.m_elements[e].length),
                              Num(rec[0]), Num(rec[1]), Num(rec[2])});
        }
    }
    return true;
}

bool EnvelopeTable(const CPlaneFrame& f, int type, int quantity, CTable& t) {
    EnvelopeData data;
    if (!f.ReadEnvelope(type, quantity, data)) return false;
    const std::string unit = QuantityUnit(quantity);
    t = CTable{FormatString("%s包络 %s", QuantityName(quantity), LiveLoadFileName(type)),
               FormatString("%s包络 %s", QuantityName(quantity), LiveLoadEnvelopeLabel(type)),
               {"单元", "位置 (相对)", "最大值 (" + unit + ")", "最小值 (" + unit + ")"},
               {}};
    for (int e = 0; e < f.m_nElements; ++e)
        for (int j = 0; j < 11; ++j)
            t.rows.push_back({Num(e + 1), Num(j * 0.1), Num(data.maxima[11 * e + j]),
                              Num(data.minima[11 * e + j])});
    return true;
}

bool CombinationNames(const CPlaneFrame& f, std::vector<std::string>& names) {
    const std::string path = f.m_baseName + "_组合.txt";
    if (!std::filesystem::exists(path)) {
        ShowMessage("错误：组合文件" + path + "不存在!");
        return false;
    }
    std::vector<Combination> all;
    if (!ReadCombinationFile(path, f.m_nCases, all)) return false;
    names.clear();
    for (const Combination& c : all) names.push_back(c.name);
    return true;
}

bool CombinationTable(const CPlaneFrame& f, const std::string& name, CTable& t) {
    const std::string path = f.CombinationBinaryPath(name);
    CBinaryIn in;
    if (!in.Open(path) || in.Size() != CombinationFileSize(f.m_nElements)) {
        ShowMessage("荷载组合数据文件:" + path + "不存在或不完整！");
        return false;
    }
    t = CTable{"组合 " + name,
               "荷载组合 " + name,
               {"单元", "位置 (相对)", "N最大 (N)", "N最小 (N)", "Q最大 (N)", "Q最小 (N)",
                "M最大 (N·m)", "M最小 (N·m)"},
               {}};
    for (int e = 0; e < f.m_nElements; ++e)
        for (int j = 0; j < 11; ++j) {
            double v[kCombinationValues];
            if (!in.Doubles(v, kCombinationValues)) {
                ShowMessage("荷载组合数据文件:" + path + "不存在或不完整！");
                return false;
            }
            std::vector<CCell> row{Num(e + 1), Num(j * 0.1)};
            for (double x : v) row.push_back(Num(x));
            t.rows.push_back(std::move(row));
        }
    return true;
}

CTable InfluenceTable(const CPlaneFrame& f) {
    static const char* const kUnits[7] = {"", "N", "N", "N·m", "m", "m", "rad"};
    static const char* const kNames[7] = {"", "轴力", "剪力", "弯矩", "x位移", "y位移", "转角"};
    CTable t{"影响线", "影响线", {"x (m)"}, {}};
    for (int l = 0; l < f.m_nIlLines; ++l) {
        const InfluenceRequest& r = f.m_ilRequests[l];
        const int q = r.quantity >= 1 && r.quantity <= 6 ? r.quantity : 0;
        t.headers.push_back(FormatString("影响线%d 单元%d@%.3g %s (%s/N)", l + 1, r.element + 1,
                                         r.position, kNames[q], kUnits[q]));
    }
    if (f.m_nIlLines <= 0 || f.m_ilStates.empty()) return t;
    // The abscissae of the influence-line listing: every sample, the end of the path included.
    for (long long i = 0; i <= f.m_ilSampleCount && f.SampleX(i) <= f.m_ilXMax + 1e-9; ++i) {
        const double x = f.SampleX(i);
        std::vector<CCell> row{Num(x)};
        for (int l = 0; l < f.m_nIlLines; ++l) row.push_back(Num(f.InfluenceValue(x, l)));
        t.rows.push_back(std::move(row));
    }
    return t;
}

CTable FrequencyTable(const CPlaneFrame& f, int modes) {
    CTable t{"频率", "自振频率", {"阶次", "圆频率 ω (rad/s)", "频率 f (Hz)", "周期 T (s)"}, {}};
    const int n = std::min<int>(modes, static_cast<int>(f.m_modeOrder.size()));
    for (int k = 0; k < n; ++k) {
        const double w = f.m_omega[f.m_modeOrder[k]];
        t.rows.push_back({Num(k + 1), Num(w), Num(w / (2 * M_PI)), Num(w > 0 ? 2 * M_PI / w : 0)});
    }
    return t;
}

CTable ModeShapeTable(const CPlaneFrame& f, int modes) {
    CTable t{"振型", "振型", {"节点"}, {}};
    const int n = std::min<int>(modes, static_cast<int>(f.m_modeOrder.size()));
    for (int k = 0; k < n; ++k)
        for (const char* d : {"x", "y", "转角"})
            t.headers.push_back(FormatString("振型%d %s", k + 1, d));
    for (int node = 0; node < f.m_nNodes; ++node) {
        std::vector<CCell> row{Num(node + 1)};
        for (int k = 0; k < n; ++k) {
            const double* shape = &f.m_modeShapes[static_cast<size_t>(f.m_modeOrder[k]) *
                                                  static_cast<size_t>(f.m_nDof)];
            for (int d = 0; d < 3; ++d) row.push_back(Num(shape[f.m_dofNum[node][d]]));
        }
        t.rows.push_back(std::move(row));
    }
    return t;
}

bool HistoryTable(const CPlaneFrame& f, int node, int direction, CTable& t) {
    if (node < 1 || node > f.m_nNodes || direction < 0 || direction > 2) {
        ShowMessage("节点号或自由度错误！");
        return false;
    }
    static const char* const kVelocity[3] = {"x速度 (m/s)", "y速度 (m/s)", "角速度 (rad/s)"};
    t = CTable{FormatString("时程 节点%d", node),
               FormatString("节点%d 动力响应时程", node),
               {"时间 (s)", kDirections[direction], kVelocity[direction]},
               {}};
    const long long records = ResponseRecordCount(f);
    CBinaryIn in;
    if (records <= 0 || !in.Open(f.ResponsePath())) {
        ShowMessage("动力响应文件" + f.ResponsePath() + "不存在！");
        return false;
    }
    const int g = f.m_dofNum[node - 1][direction];
    const long long bytes = ResponseRecordBytes(f.m_nDof);
    for (long long r = 0; r < records; ++r) {
        double time = 0, disp = 0, vel = 0;
        if (!in.Seek(r * bytes) || !in.Double(time) || !in.Seek(r * bytes + 8 + 8LL * g) ||
            !in.Double(disp) || !in.Seek(r * bytes + 8 + 8LL * (f.m_nDof + g)) || !in.Double(vel))
            break;
        t.rows.push_back({Num(time), Num(disp), Num(vel)});
    }
    return true;
}

bool AllTables(CPlaneFrame& f, const CExportChoice& choice, std::vector<CTable>& tables,
               CExportProgress* progress) {
    // One step per table, of about this many (the combinations are counted as they come).
    const double count = 8.0 + 4.0 * f.m_nCases + 3.0 * choice.envelopeTypes.size();
    double made = 0;
    auto next = [&] { return !progress || progress->Step(++made / count); };
    tables = ModelTables(f);
    for (int k = 0; k < f.m_nCases; ++k) {
        if (!next()) return false;
        tables.push_back(DisplacementTable(f, k));
    }
    for (int k = 0; k < f.m_nCases; ++k) {
        if (!next()) return false;
        tables.push_back(EndForceTable(f, k));
    }
    CTable t;
    if (f.m_nCases > 0) {
        if (!next() || !ReactionTable(f, t)) return false;
        tables.push_back(std::move(t));
    }
    for (int k = 0; k < f.m_nCases; ++k) {
        if (!next() || !InternalForceTable(f, k, t)) return false;
        tables.push_back(std::move(t));
    }
    for (int type : choice.envelopeTypes)
        for (int q = 3; q >= 1; --q) {
            if (!next() || !EnvelopeTable(f, type, q, t)) return false;
            tables.push_back(std::move(t));
        }
    if (choice.combinations) {
        std::vector<std::string> names;
        if (!CombinationNames(f, names)) return false;
        for (const std::string& name : names) {
            if (!next() || !CombinationTable(f, name, t)) return false;
            tables.push_back(std::move(t));
        }
    }
    if (!next()) return false;
    if (f.m_nIlLines > 0) tables.push_back(InfluenceTable(f));
    if (choice.modes > 0 && !f.m_modeOrder.empty()) {
        tables.push_back(FrequencyTable(f, choice.modes));
        tables.push_back(ModeShapeTable(f, choice.modes));
    }
    if (choice.historyNode > 0) {
        if (!HistoryTable(f, choice.historyNode, choice.historyDirection, t)) return false;
        tables.push_back(std::move(t));
    }
    return !progress || progress->Step(1);
}

bool RunRequestedAnalyses(CPlaneFrame& f, const CExportChoice& choice) {
    for (int type : choice.envelopeTypes)
        for (int q = 1; q <= 3; ++q)
            if (!std::filesystem::exists(f.EnvelopeBinaryPath(type, q)) &&
                !f.ComputeEnvelope(type, q))
                return false;
    if (choice.combinations && !f.RunCombinations(f.m_baseName + "_组合.txt", std::string()))
        return false;
    if (choice.modes > 0 && f.m_modeOrder.empty()) {
        f.m_busy = 1;
        const bool ok = f.NaturalVibration();
        f.m_busy = 0;
        if (!ok) return false;
    }
    return true;
}

std::vector<int> CurrentEnvelopeTypes(const CPlaneFrame& f, const std::string& femPath) {
    std::vector<int> types;
    std::error_code ec;
    const auto dataTime = std::filesystem::last_write_time(femPath, ec);
    if (ec) return types;
    for (int type = 0; type < kLiveLoadTypes; ++type) {
        bool current = true;
        for (int q = 1; q <= 3 && current; ++q) {
            const auto t = std::filesystem::last_write_time(f.EnvelopeBinaryPath(type, q), ec);
            current = !ec && t >= dataTime;
        }
        if (current) types.push_back(type);
    }
    return types;
}

std::vector<int> MergeTypes(std::vector<int> requested, const std::vector<int>& current) {
    for (int t : current)
        if (std::find(requested.begin(), requested.end(), t) == requested.end())
            requested.push_back(t);
    return requested;
}
