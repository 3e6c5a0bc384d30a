#include "ResultFile.h"

#include <sstream>

#include "platform/TextFile.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

bool StartsWith(const std::string& s, const std::string& p) {
    return s.rfind(p, 0) == 0;
}

}  // namespace

bool CResultFile::Load(const std::string& path) {
    std::string text;
    if (!ReadWholeFile(path, text)) return false;
    enum { kNone, kDisp, kForces, kReactions } section = kNone;
    int owner = 0;
    for (const std::string& line : Lines(text)) {
        if (StartsWith(line, "结构位移")) {
            section = kDisp;
        } else if (StartsWith(line, "单元局部坐标系下的杆端力")) {
            section = kForces;
        } else if (StartsWith(line, "各工况的约束反力")) {
            section = kReactions;
        } else if (section == kDisp && StartsWith(line, "节点")) {
            owner = std::stoi(line.substr(std::string("节点").size()));
        } else if (section == kForces && StartsWith(line, "单元")) {
            owner = std::stoi(line.substr(std::string("单元").size()));
        } else if (section == kReactions && StartsWith(line, "节点:")) {
            m_reactions.emplace_back();
        } else if (section == kReactions && StartsWith(line, "工况:") && line.size() > 10) {
            std::istringstream in(line.substr(std::string("工况:").size()));
            int k;
            std::array<double, 3> v{};
            in >> k >> v[0] >> v[1] >> v[2];
            if (in && !m_reactions.empty()) m_reactions.back()[k] = v;
        } else if (section == kDisp && owner > 0 && !line.empty() && line[0] == ' ') {
            std::istringstream in(line);
            int k;
            std::array<double, 3> v{};
            in >> k >> v[0] >> v[1] >> v[2];
            if (in) m_disp[{owner, k}] = v;
        } else if (section == kForces && owner > 0 && !line.empty() && line[0] == ' ') {
            std::istringstream in(line);
            int k;
            std::array<double, 6> v{};
            in >> k;
            for (double& x : v) in >> x;
            if (in) m_forces[{owner, k}] = v;
        }
    }
    return !m_disp.empty();
}

double CResultFile::Displacement(int node, int loadCase, int dir) const {
    auto it = m_disp.find({node, loadCase});
    return it == m_disp.end() ? 0.0 : it->second[dir];
}

double CResultFile::EndForce(int element, int loadCase, int k) const {
    auto it = m_forces.find({element, loadCase});
    return it == m_forces.end() ? 0.0 : it->second[k];
}

double CResultFile::Reaction(int support, int loadCase, int dir) const {
    if (support < 1 || support > SupportCount()) return 0.0;
    const auto& m = m_reactions[support - 1];
    auto it = m.find(loadCase);
    return it == m.end() ? 0.0 : it->second[dir];
}

bool CCaseListing::Load(const std::string& path) {
    std::string text;
    if (!ReadWholeFile(path, text)) return false;
    int element = 0, point = 0;
    for (const std::string& line : Lines(text)) {
        std::istringstream in(line);
        double a;
        if (!(in >> a)) continue;
        double n, q, m;
        if (in >> n >> q >> m) {
            m_values[{element, point++}] = {n, q, m};
        } else {
            element = static_cast<int>(a);
            point = 0;
        }
    }
    return !m_values.empty();
}

std::array<double, 3> CCaseListing::At(int element, int point) const {
    auto it = m_values.find({element, point});
    return it == m_values.end() ? std::array<double, 3>{0, 0, 0} : it->second;
}
