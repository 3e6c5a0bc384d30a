// Live-load models: a heavy vehicle placed once and identical main vehicles around it.
#pragma once

#include <string>
#include <vector>

// Number of live-load types: the built-in models and the user train (0 ... 10), then the
// design loads (11 and 12 lane loads, 13 the vehicle load).
inline constexpr int kLiveLoadTypes = 14;
// Name of the user train file (see UserTrainPath for where it is looked for).
inline constexpr const char* kUserTrainFile = "user_hz.txt";
// The user train file of a model: the one chosen when there is one, else user_hz.txt beside
// the data file (path without extension dataFileBase), else the working directory's.
std::string UserTrainPath(const std::string& chosen, const std::string& dataFileBase);

// Name of a type in the type dialog and in the text envelope files ("汽车—20级").
const char* LiveLoadDialogName(int type);
// Name of a type in file names ("汽车20级").
const char* LiveLoadFileName(int type);
// Label of a type on the envelope diagram: "人群荷载" for the crowd, else the dialog name.
const char* LiveLoadEnvelopeLabel(int type);

// One live-load model stepped along the loading path on a 0.1 grid. Loads are in N
// (downward negative), offsets and gaps in m; step k puts the reference point (the first
// load) at m_xStart + 0.1 k.
class CLiveLoad {
public:
    // Builds the model of a type on the path x0 ... x1 and derives the step fields; false
    // after the message (only the user train can fail). span is the calculation span L0 of
    // a lane load (0: the path length).
    bool BuildLiveLoad(int type, double x0, double x1, double span = 0);
    // Frees the four load arrays; the counts stay.
    void FreeLiveLoad();
    // Sets every count, array and gap to zero.
    void ClearLiveLoad();

    bool HasHeavy() const { return m_nHeavyAxles > 0; }
    // The user train file that type 10 reads.
    std::string m_userTrainFile = kUserTrainFile;
    bool HasMain() const { return m_nMainAxles > 0; }
    // A lane load: a uniform load wherever it is adverse plus one concentrated load.
    bool IsLane() const { return m_laneUniform != 0; }
    // The concentrated lane load for a quantity (larger for shear).
    double LanePoint(int quantity) const {
        return quantity == 2 ? 1.2 * m_lanePoint : m_lanePoint;
    }

    int m_nHeavyAxles = 0;
    std::vector<double> m_heavyLoads;
    std::vector<double> m_heavyOffsets;
    int m_nMainAxles = 0;
    std::vector<double> m_mainLoads;
    std::vector<double> m_mainOffsets;
    double m_gapAhead = 0;   // heavy vehicle's first load to a main vehicle in front
    double m_gapBehind = 0;  // heavy vehicle's last load to a main vehicle behind
    double m_gapMain = 0;    // between consecutive main vehicles
    int m_stepsAhead = 0;
    int m_stepsBehind = 0;
    int m_stepsMain = 0;
    double m_xStart = 0;
    int m_nSteps = 0;
    double m_laneUniform = 0;  // N/m, downward negative; 0 for a train of point loads
    double m_lanePoint = 0;    // N, downward negative
    double m_span = 0;         // L0 of the concentrated lane load, m

private:
    bool ReadUserTrain();
    void DeriveSteps(double x0, double x1);
};
