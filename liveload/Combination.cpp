// The combination file, the combined envelope from the case and envelope files, and its
// result files (layout in Combination.h).
#include "liveload/Combination.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <set>
#include <system_error>

#include "engine/CaseFile.h"
#include "engine/PlaneFrame.h"
#include "liveload/Envelope.h"
#include "liveload/LiveLoad.h"
#include "platform/BinaryFile.h"
#include "platform/Format.h"
#include "platform/Host.h"
#include "platform/TextFile.h"

namespace {

constexpr int kPoints = 11;

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> w;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        size_t j = i;
        while (j < line.size() && line[j] != ' ' && line[j] != '\t') ++j;
        if (j > i) w.push_back(line.substr(i, j - i));
        i = j;
    }
    return w;
}

bool Number(const std::string& text, double& v) {
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, v);
    return !text.empty() && r.ec == std::errc() && r.ptr == end && std::isfinite(v);
}

bool Factor(const std::string& text, double& v) {
    return Number(text, v) && v >= 0 && v <= 1e6;
}

bool Whole(const std::string& text, int lo, int hi, int& v) {
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, v);
    return !text.empty() && r.ec == std::errc() && r.ptr == end && v >= lo && v <= hi;
}

bool GoodName(const std::string& name) {
    if (name.empty() || name.size() > 200 || name == "." || name == "..") return false;
    for (unsigned char ch : name)
        if (ch < 32 || ch == 127 ||
            std::string("/\\:*?\"<>|").find(static_cast<char>(ch)) != std::string::npos)
            return false;
    return true;
}

// Parses "key=value" options of a term; returns the error text or an empty string.
std::string Options(const std::vector<std::string>& w, size_t from, CombinationTerm& t) {
    for (size_t i = from; i < w.size(); ++i) {
        const size_t eq = w[i].find('=');
        const std::string key = eq == std::string::npos ? w[i] : w[i].substr(0, eq);
        const std::string value = eq == std::string::npos ? "" : w[i].substr(eq + 1);
        if (key == "psi") {
            if (!Factor(value, t.psi)) return "组合值系数psi无效：" + w[i];
            continue;
        }
        if (!t.live ||
            (key != "impact" && key != "lanes" && key != "distribution" && key != "span"))
            return "未知的选项：" + w[i];
        if (!IsDesignLoadType(t.number)) return "选项" + key + "只用于活载类型11～13";
        bool ok = true;
        if (key == "impact") ok = ParseImpactOption(value, t.design);
        if (key == "lanes") ok = Whole(value, 1, 8, t.design.lanes);
        if (key == "distribution")
            ok = Number(value, t.design.distribution) && t.design.distribution > 0 &&
                 t.design.distribution <= 1e3;
        if (key == "span")
            ok = Number(value, t.design.span) && t.design.span > 0 && t.design.span < 1e6;
        if (!ok) return "选项的值无效：" + w[i];
    }
    return "";
}

}  // namespace

std::string DescribeTerm(const CombinationTerm& t) {
    if (!t.live)
        return FormatString("工况 %d  不利 %g  有利 %g  psi %g", t.number, t.unfavourable,
                            t.favourable, t.psi);
    return FormatString("活载 %d %s  %g  psi %g", t.number, LiveLoadDialogName(t.number),
                        t.unfavourable, t.psi);
}

bool ReadCombinationFile(const std::string& path, int cases, std::vector<Combination>& out) {
    out.clear();
    std::string text;
    if (!ReadWholeFile(path, text)) {
        ShowMessage("错误：组合文件" + path + "不存在或无法读取!");
        return false;
    }
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    int lineNo = 0;
    std::string error;
    std::set<std::string> names;
    size_t start = 0;
    while (start <= text.size() && error.empty()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++lineNo;
        const size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::vector<std::string> w = Words(line);
        if (w.empty()) continue;
        if (w[0] == "组合") {
            if (w.size() != 2 || !GoodName(w[1])) {
                error = "组合名称应为一个词，不含空格和 / \\ : * ? \" < > |";
            } else if (!names.insert(w[1]).second) {
                error = "组合名称重复：" + w[1];
            } else {
                Combination c;
                c.name = w[1];
                c.line = lineNo;
                out.push_back(c);
            }
            continue;
        }
        if (w[0] != "工况" && w[0] != "活载") {
            error = "未知的关键字：" + w[0] + "（应为 组合、工况 或 活载）";
            continue;
        }
        if (out.empty()) {
            error = "“" + w[0] + "”之前缺少“组合 名称”";
            continue;
        }
        CombinationTerm t;
        t.line = lineNo;
        t.live = w[0] == "活载";
        if (!t.live) {
            if (w.size() < 4 || !Whole(w[1], 1, cases, t.number))
                error = FormatString("工况号应在1～%d之间，其后为不利和有利时的分项系数", cases);
            else if (!Factor(w[2], t.unfavourable) || !Factor(w[3], t.favourable))
                error = "分项系数无效";
            else
                error = Options(w, 4, t);
        } else {
            if (w.size() < 3 || !Whole(w[1], 0, kLiveLoadTypes - 1, t.number))
                error = FormatString("活载类型应在0～%d之间，其后为分项系数", kLiveLoadTypes - 1);
            else if (!Factor(w[2], t.unfavourable))
                error = "分项系数无效";
            else
                error = Options(w, 3, t);
            t.favourable = 0;
        }
        if (error.empty()) out.back().terms.push_back(t);
    }
    if (error.empty()) {
        if (out.empty()) {
            error = "没有任何组合";
            lineNo = 0;
        }
        for (const Combination& c : out) {
            if (!c.terms.empty()) continue;
            error = "组合" + c.name + "没有任何项";
            lineNo = c.line;
            break;
        }
    }
    if (error.empty()) return true;
    out.clear();
    ShowMessage("错误：组合文件" + path + "有误!",
                lineNo > 0 ? FormatString("第%d行：%s", lineNo, error.c_str()) : error);
    return false;
}

std::string CPlaneFrame::CombinationTextPath(const std::string& name) const {
    return m_baseName + "_组合_" + name + ".out";
}

std::string CPlaneFrame::CombinationBinaryPath(const std::string& name) const {
    return m_baseName + "_组合_" + name + ".bin";
}

std::string CPlaneFrame::CombinationConcurrentTextPath(const std::string& name) const {
    return m_baseName + "_组合同时内力_" + name + ".out";
}

std::string CPlaneFrame::CombinationConcurrentBinaryPath(const std::string& name) const {
    return m_baseName + "_组合同时内力_" + name + ".bin";
}

bool CPlaneFrame::RunCombinations(const std::string& path, const std::string& name) {
    std::vector<Combination> all;
    if (!ReadCombinationFile(path, m_nCases, all)) return false;
    std::vector<Combination> chosen;
    for (const Combination& c : all)
        if (name.empty() || c.name == name) chosen.push_back(c);
    if (chosen.empty()) {
        ShowMessage("错误：组合文件" + path + "中没有名为" + name + "的组合!");
        return false;
    }
    const size_t points = static_cast<size_t>(m_nElements) * kPoints;
    // The static values at the 11 points, from the per-case binary files.
    std::vector<std::vector<double>> caseValues(static_cast<size_t>(m_nCases));
    auto caseAt = [&](int k) -> const std::vector<double>* {
        std::vector<double>& v = caseValues[k - 1];
        if (!v.empty()) return &v;
        const std::string file = CaseBinaryPath(k);
        CCaseFileIn in;
        if (!in.Open(file) || !in.Complete(m_nElements)) {
            ShowMessage("错误：工况内力文件" + file + "不存在或不完整!");
            return nullptr;
        }
        v.assign(points * 3, 0.0);
        double rec[casefile::kElementValues];
        for (int e = 0; e < m_nElements; ++e) {
            if (!in.NextElement(rec)) {
                ShowMessage("错误：工况内力文件" + file + "不存在或不完整!");
                v.clear();
                return nullptr;
            }
            for (int j = 0; j < kPoints; ++j)
                for (int q = 0; q < 3; ++q)
                    v[(static_cast<size_t>(e) * kPoints + j) * 3 + q] = rec[casefile::kValues * 10 * j + q];
        }
        return &v;
    };

    for (const Combination& c : chosen) {
        std::vector<double> result(points * kCombinationValues, 0.0);
        // Per point, effect and extreme: the N, Q, M of the combined state (layout in
        // Combination.h).
        std::vector<double> with(points * kCombinationConcurrentValues, 0.0);
        std::vector<double> liveWith;
        CTextOut txt;
        const std::string txtPath = CombinationTextPath(c.name),
                          binPath = CombinationBinaryPath(c.name);
        std::string head = FormatString("荷载组合: %s", c.name.c_str());
        for (const CombinationTerm& t : c.terms) {
            head += '\n';
            head += DescribeTerm(t);
            if (!t.live) {
                const std::vector<double>* v = caseAt(t.number);
                if (!v) return false;
                for (size_t p = 0; p < points; ++p) {
                    const double* own = &(*v)[p * 3];
                    for (int q = 0; q < 3; ++q) {
                        const double x = own[q] * t.psi;
                        double* r = &result[p * kCombinationValues + 2 * q];
                        // The factor chosen for this effect scales the whole case, so the
                        // other two forces of the state carry the same factor.
                        const double gMax = x > 0 ? t.unfavourable : t.favourable;
                        const double gMin = x < 0 ? t.unfavourable : t.favourable;
                        r[0] += gMax * x;
                        r[1] += gMin * x;
                        double* w = &with[p * kCombinationConcurrentValues + 6 * q];
                        for (int k = 0; k < 3; ++k) {
                            w[k] += gMax * (own[k] * t.psi);
                            w[3 + k] += gMin * (own[k] * t.psi);
                        }
                    }
                }
                continue;
            }
            // The envelopes of the term, computed with its own design options and read back
            // from their files, so that the combination uses exactly what the files say.
            m_designLoad = t.design;
            for (int q = 0; q < 3; ++q) {
                EnvelopeData d;
                if (!ComputeEnvelope(t.number, q + 1, &liveWith) ||
                    !ReadEnvelope(t.number, q + 1, d) || liveWith.size() != points * 6) {
                    m_designLoad = DesignLoadOptions{};
                    if (m_keepRunning == 0) ShowStatus("荷载组合计算已取消");
                    return false;
                }
                if (q == 0 && IsDesignLoadType(t.number))
                    head += "  (" + DescribeFactors(m_designFactors) + ")";
                const double g = t.unfavourable * t.psi;
                for (size_t p = 0; p < points; ++p) {
                    double* r = &result[p * kCombinationValues + 2 * q];
                    // The live load is placed as for its own extreme, with the forces that go
                    // with it; where that extreme is favourable it is not placed at all.
                    double* w = &with[p * kCombinationConcurrentValues + 6 * q];
                    const double* lw = &liveWith[p * 6];
                    if (d.maxima[p] > 0) {
                        r[0] += g * d.maxima[p];
                        for (int k = 0; k < 3; ++k) w[k] += g * lw[k];
                    }
                    if (d.minima[p] < 0) {
                        r[1] += g * d.minima[p];
                        for (int k = 0; k < 3; ++k) w[3 + k] += g * lw[3 + k];
                    }
                }
            }
            m_designLoad = DesignLoadOptions{};
        }
        // The effect's own column is the combined extreme itself, as the envelope files give
        // it (the envelope's companion file rounds the live term's own value).
        for (size_t p = 0; p < points; ++p)
            for (int q = 0; q < 3; ++q)
                for (int side = 0; side < 2; ++side)
                    with[p * kCombinationConcurrentValues + 6 * q + 3 * side + q] =
                        result[p * kCombinationValues + 2 * q + side];
        // A stop that came after the last envelope's own check ends the run before this
        // combination's files are written.
        if (m_keepRunning == 0) {
            ShowStatus("荷载组合计算已取消");
            return false;
        }
        CBinaryOut bin, conBin;
        CTextOut con;
        const std::string conTxtPath = CombinationConcurrentTextPath(c.name),
                          conBinPath = CombinationConcurrentBinaryPath(c.name);
        for (const auto& [file, ok] :
             {std::pair{binPath, bin.Open(binPath)}, std::pair{txtPath, txt.Open(txtPath)},
              std::pair{conBinPath, conBin.Open(conBinPath)},
              std::pair{conTxtPath, con.Open(conTxtPath)}}) {
            if (ok) continue;
            ShowMessage(FormatString("错误：无法写入文件%s!", file.c_str()));
            return false;
        }
        txt.Printf("%s", head.c_str());
        txt.Printf(
            "\n\n单元      位置        轴力最大值      轴力最小值      剪力最大值      "
            "剪力最小值      弯矩最大值      弯矩最小值");
        for (int e = 0; e < m_nElements; ++e) {
            txt.Printf("\n\n%5d", e + 1);
            for (int j = 0; j < kPoints; ++j) {
                const double* r =
                    &result[(static_cast<size_t>(e) * kPoints + j) * kCombinationValues];
                bin.Doubles(r, kCombinationValues);
                txt.Printf("\n%10.2f", j / 10.0);
                for (int k = 0; k < kCombinationValues; ++k) txt.Printf(" %15.6e", r[k]);
            }
        }
        con.Printf("%s", FormatString("荷载组合同时内力: %s", c.name.c_str()).c_str());
        con.Printf("%s", head.substr(head.find('\n')).c_str());
        con.Printf("\n\n单元       位置  极值                 轴力            剪力            弯矩");
        static const char* const kExtremes[6] = {"轴力最大", "轴力最小", "剪力最大",
                                                 "剪力最小", "弯矩最大", "弯矩最小"};
        for (int e = 0; e < m_nElements; ++e) {
            con.Printf("\n\n%5d", e + 1);
            for (int j = 0; j < kPoints; ++j) {
                const double* w =
                    &with[(static_cast<size_t>(e) * kPoints + j) * kCombinationConcurrentValues];
                conBin.Doubles(w, kCombinationConcurrentValues);
                for (int x = 0; x < 6; ++x) {
                    if (x == 0)
                        con.Printf("\n%15.6lf  %s", j / 10.0, kExtremes[x]);
                    else
                        con.Printf("\n%15s  %s", "", kExtremes[x]);
                    // (+ 0.0 writes a zero without its sign.)
                    for (int k = 0; k < 3; ++k) con.Printf(" %15.6e", w[3 * x + k] + 0.0);
                }
            }
        }
        const bool binOk = bin.Close(), txtOk = txt.Close();
        const bool conBinOk = conBin.Close(), conTxtOk = con.Close();
        if (!binOk || !txtOk || !conBinOk || !conTxtOk) {
            const std::string& bad =
                !binOk ? binPath : !txtOk ? txtPath : !conBinOk ? conBinPath : conTxtPath;
            ShowMessage(FormatString("错误：无法写入文件%s!", bad.c_str()));
            return false;
        }
    }
    return true;
}

bool ReadCombinationEnvelope(const CPlaneFrame& frame, const std::string& name, int quantity,
                             EnvelopeData& data) {
    if (quantity < 1 || quantity > 3) return false;
    const std::string path = frame.CombinationBinaryPath(name);
    CBinaryIn in;
    if (!in.Open(path)) {
        ShowMessage("荷载组合数据文件:" + path + "不存在！");
        return false;
    }
    // A file of another model or an interrupted write must not be drawn as if it fitted.
    const int elements = frame.m_nElements;
    bool ok = elements > 0 && in.Size() == CombinationFileSize(elements);
    const size_t count = static_cast<size_t>(std::max(elements, 0)) * kPoints;
    data = EnvelopeData{};
    data.maxima.resize(count);
    data.minima.resize(count);
    double r[kCombinationValues];
    for (size_t i = 0; i < count && ok; ++i) {
        ok = in.Doubles(r, kCombinationValues) && std::isfinite(r[2 * quantity - 2]) &&
             std::isfinite(r[2 * quantity - 1]);
        if (!ok) break;
        data.maxima[i] = r[2 * quantity - 2];
        data.minima[i] = r[2 * quantity - 1];
        const int e = static_cast<int>(i / kPoints);
        const double d = static_cast<double>(i % kPoints) / 10 * frame.m_elements[e].length;
        if (i == 0 || data.maxima[i] > data.maxValue)
            data.maxValue = data.maxima[i], data.maxElement = e, data.maxDistance = d;
        if (i == 0 || data.minima[i] < data.minValue)
            data.minValue = data.minima[i], data.minElement = e, data.minDistance = d;
    }
    if (!ok) {
        ShowMessage("荷载组合数据文件:" + path + "不完整！");
        return false;
    }
    return true;
}

std::vector<std::string> CombinationNamesOnDisk(const CPlaneFrame& frame) {
    namespace fs = std::filesystem;
    // Paths are bytes (UTF-8) on this platform.
    const fs::path base(frame.m_baseName);
    const std::string prefix = base.filename().string() + "_组合_", suffix = ".bin";
    fs::path dir = base.parent_path();
    if (dir.empty()) dir = ".";
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string file = it->path().filename().string();
        if (file.size() > prefix.size() + suffix.size() && file.rfind(prefix, 0) == 0 &&
            file.compare(file.size() - suffix.size(), suffix.size(), suffix) == 0)
            names.push_back(
                file.substr(prefix.size(), file.size() - prefix.size() - suffix.size()));
    }
    std::sort(names.begin(), names.end());
    return names;
}
