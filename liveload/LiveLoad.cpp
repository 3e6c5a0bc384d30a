// The built-in live-load models, the user train file and the derived step fields.
#include "liveload/LiveLoad.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

#include "liveload/DesignLoads.h"
#include "platform/DataLineReader.h"
#include "platform/Format.h"
#include "platform/Host.h"
#include "platform/TextFile.h"

namespace {

const char* const kDialogNames[kLiveLoadTypes] = {
    "人群荷载(1KN/m)", "汽车—10级", "汽车—15级", "汽车—20级", "汽车—超20级", "履带—50",
    "挂车—80",         "挂车—100",  "挂车—120",  "中—活载",   "自定义车列",  "公路-I级",
    "公路-II级",       "车辆荷载"};
const char* const kFileNames[kLiveLoadTypes] = {
    "人群荷载", "汽车10级", "汽车15级", "汽车20级", "汽车超20级", "履带50",   "挂车80",
    "挂车100",  "挂车120",  "中—活载",  "自定义车列", "公路I级", "公路II级", "车辆荷载"};

// Offsets on the 0.1 grid are accumulated in double precision, as the models define them.
void AppendGrid(std::vector<double>& offsets, double first, int count) {
    double x = first;
    for (int i = 0; i < count; ++i) {
        offsets.push_back(x);
        x += 0.1;
    }
}

// A step count from a length in metres, truncated; absurd values cannot overflow the int.
int Steps(double metres) {
    const double v = metres * 10;
    if (!(v > INT_MIN / 4)) return INT_MIN / 4;
    if (!(v < INT_MAX / 4)) return INT_MAX / 4;
    return static_cast<int>(v);
}

// The next data line; false at the end of the file, and also (with bad set) at an overlong
// line or one that holds a number no double can hold.
bool NextTrainLine(CDataLineReader& in, std::string& line, bool& bad) {
    if (!in.Next(line)) {
        bad = in.TooLong();
        return false;
    }
    if (CFieldScanner::InvalidNumber(line).empty()) return true;
    bad = true;
    return false;
}

// Reads `count` numbers that may be spread over several data lines; what is left on the
// line after the last one is not used.
bool ReadList(CDataLineReader& in, int count, std::vector<double>& values, bool& bad) {
    std::string line;
    values.clear();
    while (static_cast<int>(values.size()) < count) {
        if (!NextTrainLine(in, line, bad)) return false;
        CFieldScanner f(line);
        while (static_cast<int>(values.size()) < count) {
            double v = 0;
            if (!f.Double(v).Ok()) {
                // A field written like a number that is none ("1,5", "--3") would shift every
                // later value into the wrong list; a word (a remark) just ends the line.
                if (CDataLineReader::IsDataLine(CDataLineReader::TrimLeft(f.Rest()))) {
                    bad = true;
                    return false;
                }
                break;
            }
            values.push_back(v);
        }
    }
    return true;
}

bool ReadCount(CDataLineReader& in, int& count, bool& bad) {
    std::string line;
    if (!NextTrainLine(in, line, bad)) return false;
    count = 0;
    CFieldScanner(line).Int(count);
    if (count < 0) count = 0;
    return true;
}

}  // namespace

const char* LiveLoadDialogName(int type) {
    return type >= 0 && type < kLiveLoadTypes ? kDialogNames[type] : "";
}

const char* LiveLoadFileName(int type) {
    return type >= 0 && type < kLiveLoadTypes ? kFileNames[type] : "";
}

const char* LiveLoadEnvelopeLabel(int type) {
    return type == 0 ? kFileNames[0] : LiveLoadDialogName(type);
}

void CLiveLoad::FreeLiveLoad() {
    m_heavyLoads = {};
    m_heavyOffsets = {};
    m_mainLoads = {};
    m_mainOffsets = {};
}

void CLiveLoad::ClearLiveLoad() {
    // The file of the user train is a setting, not part of the model built from it.
    std::string file = std::move(m_userTrainFile);
    *this = CLiveLoad();
    m_userTrainFile = std::move(file);
}

bool CLiveLoad::BuildLiveLoad(int type, double x0, double x1, double span) {
    ClearLiveLoad();
    auto heavy = [this](std::vector<double> loads, std::vector<double> offsets) {
        m_nHeavyAxles = static_cast<int>(loads.size());
        m_heavyLoads = std::move(loads);
        m_heavyOffsets = std::move(offsets);
    };
    auto main = [this](std::vector<double> loads, std::vector<double> offsets) {
        m_nMainAxles = static_cast<int>(loads.size());
        m_mainLoads = std::move(loads);
        m_mainOffsets = std::move(offsets);
    };
    auto gaps = [this](double ahead, double behind, double between) {
        m_gapAhead = ahead;
        m_gapBehind = behind;
        m_gapMain = between;
    };
    switch (type) {
        case 0:
            heavy({-100}, {0});
            main({-100}, {0});
            gaps(0.1, 0.1, 0.1);
            break;
        case 1:
            heavy({-50000, -100000}, {0, 4.0});
            main({-30000, -70000}, {0, 4.0});
            gaps(15.0, 5.0, 15.0);
            break;
        case 2:
            heavy({-70000, -130000}, {0, 4.0});
            main({-50000, -100000}, {0, 4.0});
            gaps(15.0, 5.0, 15.0);
            break;
        case 3:
            heavy({-60000, -120000, -120000}, {0, 4.0, 5.4});
            main({-70000, -130000}, {0, 4.0});
            gaps(15.0, 10.0, 15.0);
            break;
        case 4:
            heavy({-30000, -120000, -120000, -140000, -140000}, {0, 3.0, 4.4, 11.4, 12.8});
            main({-70000, -130000}, {0, 4.0});
            gaps(10.0, 10.0, 15.0);
            break;
        case 5: {
            // 500 kN over 4.5 m as 46 pieces 0.1 m apart, half weights at the ends.
            std::vector<double> loads(46, -1000000.0 / 90);
            loads.front() = loads.back() = -500000.0 / 90;
            std::vector<double> offsets;
            AppendGrid(offsets, 0, 46);
            heavy(loads, offsets);
            main(loads, offsets);
            gaps(50.0, 50.0, 50.0);
            break;
        }
        case 6:
        case 7:
        case 8: {
            const double axle = type == 6 ? -200000 : type == 7 ? -250000 : -300000;
            heavy({axle, axle, axle, axle}, {0, 1.2, 5.2, 6.4});
            break;
        }
        case 9: {
            // Five 220 kN axles 1.5 m apart, then 92 kN/m over 30 m in 0.1 m pieces.
            std::vector<double> loads(5, -220000);
            std::vector<double> offsets = {0, 1.5, 3.0, 4.5, 6.0};
            loads.push_back(-4600);
            loads.insert(loads.end(), 299, -9200);
            loads.push_back(-4600);
            AppendGrid(offsets, 7.5, 301);
            heavy(loads, offsets);
            main({-8000}, {0});
            gaps(x1 - x0, 0, 0.1);
            break;
        }
        case 10:
            if (!ReadUserTrain()) return false;
            break;
        case kLaneLoadClassI:
        case kLaneLoadClassII: {
            // Class II is three quarters of class I, both parts.
            const double f = type == kLaneLoadClassI ? 1.0 : 0.75;
            m_span = span > 0 ? span : x1 - x0;
            m_laneUniform = -f * kLaneUniformClassI;
            m_lanePoint = -f * LanePointLoad(m_span);
            break;
        }
        case kVehicleLoad:
            // Five axles 30, 120, 120, 140, 140 kN at 3.0, 1.4, 7.0, 1.4 m; one per lane.
            heavy({-30000, -120000, -120000, -140000, -140000}, {0, 3.0, 4.4, 11.4, 12.8});
            break;
        default:
            return false;
    }
    DeriveSteps(x0, x1);
    return true;
}

std::string UserTrainPath(const std::string& chosen, const std::string& dataFileBase) {
    return chosen.empty() ? SideFilePath(dataFileBase, kUserTrainFile) : chosen;
}

bool CLiveLoad::ReadUserTrain() {
    CDataLineReader in;
    if (!in.Open(m_userTrainFile)) {
        // The detail names the file looked for (beside the data file, or the one chosen).
        ShowMessage("打开用户荷载定义文件user_hz.txt时出错!", m_userTrainFile);
        return false;
    }
    bool bad = false;
    bool ok = ReadCount(in, m_nHeavyAxles, bad);
    if (ok && m_nHeavyAxles > 0)
        ok = ReadList(in, m_nHeavyAxles, m_heavyLoads, bad) &&
             ReadList(in, m_nHeavyAxles, m_heavyOffsets, bad);
    ok = ok && ReadCount(in, m_nMainAxles, bad);
    if (ok && m_nMainAxles > 0)
        ok = ReadList(in, m_nMainAxles, m_mainLoads, bad) &&
             ReadList(in, m_nMainAxles, m_mainOffsets, bad);
    std::string line;
    ok = ok && NextTrainLine(in, line, bad);
    const std::string place = FormatString("文件%s第%d行", kUserTrainFile, in.LineNumber());
    if (!ok) {
        if (bad)
            ShowMessage("文件user_hz.txt中的数据有误！", place);
        else
            ShowMessage("文件user_hz.txt缺少足够的数据！");
        ClearLiveLoad();
        return false;
    }
    CFieldScanner(line).Double(m_gapAhead).Double(m_gapBehind).Double(m_gapMain);
    // Offsets and gaps become step counts on a 0.1 grid: lengths beyond 1000 km (and loads
    // beyond 1e12 N) are typing errors that would make a sweep of billions of steps.
    auto within = [](const std::vector<double>& v, double limit) {
        for (double x : v)
            if (!(std::fabs(x) < limit)) return false;
        return true;
    };
    // A negative gap lets vehicles overlap: the deck would carry as many as the sweep finds.
    const bool gapsApart = m_gapAhead >= 0 && m_gapBehind >= 0 && m_gapMain >= 0;
    const bool sane = gapsApart && within({m_gapAhead, m_gapBehind, m_gapMain}, 1e6) &&
                      within(m_heavyOffsets, 1e6) && within(m_mainOffsets, 1e6) &&
                      within(m_heavyLoads, 1e12) && within(m_mainLoads, 1e12);
    if (!sane) {
        ShowMessage("文件user_hz.txt中的数据有误！", place);
        ClearLiveLoad();
        return false;
    }
    return true;
}

void CLiveLoad::DeriveSteps(double x0, double x1) {
    double t = m_nHeavyAxles >= 1 ? m_heavyOffsets.back() : 0;
    if (m_nMainAxles >= 1 && m_mainOffsets.back() > t) t = m_mainOffsets.back();
    m_xStart = x0 - t;
    m_nSteps = std::max(0, Steps((x1 - x0) + 2 * t + 0.05));
    m_stepsAhead = m_stepsBehind = m_stepsMain = m_nSteps;
    if (m_nHeavyAxles > 0 && m_nMainAxles > 0) {
        m_stepsAhead = Steps(m_mainOffsets.back() + m_gapAhead);
        m_stepsBehind = Steps(m_heavyOffsets.back() + m_gapBehind);
    }
    if (m_nMainAxles > 0) m_stepsMain = Steps(m_mainOffsets.back() + m_gapMain);
}
