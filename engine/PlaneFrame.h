// The plane-frame analysis engine: one model, its static solution and the data the
// influence-line, live-load and dynamic analyses add.
#pragma once

#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dynamics/DynamicsMethods.h"
#include "liveload/DesignLoads.h"
#include "liveload/LaneLoad.h"
#include "platform/Assert.h"
#include "platform/DataLineReader.h"
#include "platform/FileLock.h"
#include "platform/TextFile.h"

// Model records. Indices are 0-based; the data file counts from 1.
struct Node {
    double x = 0, y = 0;
};

struct Element {
    int iNode = 0, jNode = 0, iSection = 0, jSection = 0, material = 0;
    double cos = 0, sin = 0, length = 0;
};

struct Material {
    double E = 0;
    double alpha = 0;  // thermal expansion coefficient
};

struct Section {
    double A = 0, I = 0;
    double weight = 0;  // weight per unit length: unit weight x A
    double hTop = 0, hBottom = 0;  // heights above and below the neutral axis
};

struct Support {
    int node = 0;
    int code = 0;  // three decimal digits: x, y, rotation
    double dx = 0, dy = 0, drot = 0;
};

struct NodalLoad {
    int node = 0, loadCase = 0;
    double fx = 0, fy = 0, m = 0;
};

// One load on an element, in local axes. type is 1 (concentrated), 3 (uniform), 5 (linear)
// or 7 (temperature); d1 ... d7 as the element-load section of the data-file guide says.
struct ElementLoad {
    int loadCase = 0;
    int type = 0;
    double d1 = 0, d2 = 0, d3 = 0, d4 = 0, d5 = 0, d6 = 0, d7 = 0;
};

// A requested influence line: the section or point and the quantity (1 N, 2 Q, 3 M,
// 4 x displacement, 5 y displacement, 6 rotation).
struct InfluenceRequest {
    int element = 0;
    double position = 0;
    int quantity = 0;
};

using EndForceSet = std::array<double, 6>;  // Xi, Yi, Mi, Xj, Yj, Mj in local axes

// The stiffness coefficients of an element whose section varies from end i to end j (for
// equal ends: EA/L, 12EI/L^3, 6EI/L^2, 6EI/L^2, 4EI/L, 4EI/L, 2EI/L).
struct StiffnessTerms {
    double kN, kV, kTi, kTj, kii, kjj, kij;
};

class CDynamicLoad;
class CLiveLoad;
struct EnvelopeData;
struct LiveLoadPlacement;
// Name of the fixed dynamic load file in the working directory.
inline constexpr const char* kDynamicLoadFile = "dynamic_load.txt";

class CPlaneFrame {
public:
    // Opens the data file for reading and creates the result file. The base name of every
    // side file is the result path without a trailing ".out".
    CPlaneFrame(const std::string& femPath, const std::string& outPath);
    virtual ~CPlaneFrame();
    CPlaneFrame(const CPlaneFrame&) = delete;
    CPlaneFrame& operator=(const CPlaneFrame&) = delete;

    // Reads, checks and echoes the whole data file; false after the first error.
    bool Read();
    // The static analysis of every load case; false after reporting a failure, or without a
    // message when a stop was asked for (m_keepRunning cleared). The result files of the run
    // replace the old ones together at its end, so a run that stops or fails before leaves
    // every old result file as it was.
    bool Solve();

    // --- progress of the analysis run (Read and Solve) ---
    // The stages of the run in order, each with a fixed share of the progress.
    enum class RunStage { kReading, kAssembling, kFactorising, kSubstituting, kCaseFiles, kResultFile };
    // Records that stage has got to fraction (0 ... 1) of its work. A higher percentage than
    // before is stored in m_runProgress and shown as the status "正在分析：STAGE...(NN%)".
    void ReportProgress(RunStage stage, double fraction);
    // The text of a stage (an index of RunStage), as the status shows it.
    static const char* RunStageText(int stage);
    bool StopRequested() const { return m_keepRunning.load(std::memory_order_relaxed) == 0; }

    // --- supports, band layout and assembly ---
    bool MarkSupports();
    bool LayoutBand();
    bool Assemble();
    StiffnessTerms ElementStiffnessTerms(int element) const;
    // Upper triangle of the element's stiffness in global axes into m_elemK.
    void ElementStiffness(int element);
    // Band entry (i, j) of the upper triangle, i <= j <= i + m_nBand (checked in Debug and
    // sanitizer builds).
    double& BandAt(int i, int j) { return m_bandK[BandIndex(i, j)]; }
    double BandAt(int i, int j) const { return m_bandK[BandIndex(i, j)]; }
    size_t BandIndex(int i, int j) const {
        MORVEX_ASSERT(i >= 0 && i <= j && j < m_nDof && j - i <= m_nBand);
        MORVEX_ASSERT(static_cast<size_t>(i) < m_diagAddr.size());
        const size_t at = static_cast<size_t>(m_diagAddr[i] + (j - i));
        MORVEX_ASSERT(at < m_bandK.size());
        return at;
    }

    // --- equation solution ---
    void ApplySupports();
    bool Factorize();
    // Solves U^T U x = b in place for count consecutive vectors of m_nDof doubles.
    void Substitute(double* vectors, int count) const;
    // The same for count vectors stored interleaved (entry j of vector v at j * count + v),
    // with no entry -0 and the entries before `first` +0 in every vector: each vector gets the
    // operations Substitute performs on it, in the same order (see BandSolver.cpp), so the
    // results are equal bit for bit; the vectors together keep the arithmetic units busy.
    void SubstituteInterleaved(double* vectors, int count, int first) const;
    // Support reaction of a constrained equation in one load case (0 for a free one);
    // needs the assembled matrix read back into m_bandK0.
    double Reaction(int loadCase, int equation) const;

    // --- element loads ---
    void AddElementLoad(int element, int loadCase, int type, const double p[7]);
    // Equivalent nodal loads of one record (a temperature record names its element in d1).
    EndForceSet EquivalentLoads(const ElementLoad& load, double length) const;
    void AddEquivalentLoads();

    // --- element forces ---
    EndForceSet EndForces(int element, int loadCase) const;
    // End forces from a displacement vector of m_nDof values alone (no element loads).
    EndForceSet ElasticEndForces(int element, const double* displacements) const;
    // N, Q, M at distance x from the i node, given the element's end forces.
    void ForcesAt(int element, int loadCase, double x, const EndForceSet& endForces,
                  double& N, double& Q, double& M) const;

    // --- static results ---
    // The per-case files, handed to pending; false after the message, or stopped.
    bool WriteCaseFiles(CPendingReplacements& pending);
    // One case (1-based): the path that could not be written, else an empty string (also
    // when stopped). done counts the elements written by every writer, for the progress.
    std::string WriteCaseFile(int k, CPendingReplacements& pending,
                              std::atomic<long long>& done);
    bool WriteResults();

    // Name of the per-case binary file of case k (1-based).
    std::string CaseBinaryPath(int k) const;
    std::string CaseTextPath(int k) const;
    std::string StiffnessPath() const { return m_baseName + ".stf"; }
    // The model copy beside the model, B_huozai.txt: never a user's file of another name.
    std::string HuozaiPath() const { return m_baseName + "_huozai.txt"; }

    // Counts.
    int m_nNodes = 0;
    int m_nElements = 0;
    int m_nSlaves = 0;
    int m_nMaterials = 0;
    int m_nSections = 0;
    int m_nCases = 0;
    int m_nSupports = 0;
    int m_nIlElements = 0;
    int m_nIlLines = 0;
    int m_nDof = 0;
    int m_nNodalLoads = 0;
    int m_nElemLoads = 0;
    int m_nBand = 0;
    int m_nConstrainedDofs = 0;

    // Model.
    std::vector<Node> m_nodes;
    std::vector<std::array<int, 3>> m_dofNum;
    std::vector<Element> m_elements;
    std::vector<Material> m_materials;
    std::vector<Section> m_sections;
    std::vector<Support> m_supports;
    std::vector<NodalLoad> m_nodalLoads;
    std::vector<std::vector<ElementLoad>> m_elemLoads;  // empty when there are none
    std::vector<int> m_ilElements;
    std::vector<InfluenceRequest> m_ilRequests;  // m_nIlLines + 1 records
    double m_ilXMin = 0, m_ilXMax = 0;
    double m_xMin = 0, m_xMax = 0, m_yMin = 0, m_yMax = 0;

    // Solution.
    std::vector<std::int16_t> m_dofStatus;
    std::vector<double> m_prescribed;
    std::vector<std::int64_t> m_diagAddr;
    std::vector<double> m_bandK;
    std::vector<double> m_bandK0;  // the assembled matrix read back for the reactions
    std::vector<double> m_supportLoad;
    std::vector<double> m_disp;  // m_nCases vectors of m_nDof
    std::vector<double> m_loadOrig;
    double m_elemK[6][6] = {};
    std::vector<double> m_ilStates;  // (m_nIlLines + 1) vectors of m_nDof

    // Influence-line sampling.
    int m_ilSampleCount = 0;
    std::vector<double> m_ilSamples;
    bool m_ilSamplesReady = false;

    // Files and text.
    CDataLineReader m_femFile;
    CTextOut m_outFile;
    std::string m_hzText;  // this engine's own copy of the model copy file
    // The user train file named by the user; empty: user_hz.txt beside the data file, else
    // in the working directory.
    std::string m_userTrainFile;
    std::string m_lineBuf;
    std::string m_baseName;

    // Run state shared with the natural-vibration worker.
    std::atomic<std::uint8_t> m_keepRunning{1};
    std::atomic<std::uint8_t> m_busy{0};
    // Progress of the analysis run in percent and its stage (a RunStage index), for a window
    // that shows them while another thread runs the analysis.
    std::atomic<int> m_runProgress{0};
    std::atomic<int> m_runStage{0};

    // Leave B.1 ... B.n, B.stf and B_huozai.txt in place when the engine is destroyed
    // (the batch tool's --keep).
    bool m_keepScratchFiles = false;
    // Number of per-case files the solution set out to write: the destructor removes those
    // and no others (a damaged control line may claim two billion load cases).
    int m_nCaseFiles = 0;
    // Held from the analysis run to the end of the engine: another process working on the
    // same data file would write the same side files.
    CFileLock m_modelLock;

    // === influence lines and live loads (added by their subsystem) ===

    // In the analysis run: the state block and every requested line; false after the message.
    bool ComputeInfluenceLines();
    // Fills the state vector of request `line` (m_nIlLines = scratch).
    void ComputeInfluenceLine(int line);
    // The same for any request and state vector of m_nDof doubles (the search's workers).
    void ComputeInfluenceLineInto(InfluenceRequest& request, double* state) const;
    // Several requests at once, state v at states + v * m_nDof: the same values, bit for bit,
    // as ComputeInfluenceLineInto gives for each. scratch holds count * m_nDof doubles.
    void ComputeInfluenceLinesInto(const InfluenceRequest* requests, int count, double* states,
                                   std::vector<double>& scratch) const;
    // The nodal loads (global axes) at the i and j node of the request's element whose
    // solution is the request's state.
    void InfluenceNodalLoads(const InfluenceRequest& request, double fi[3], double fj[3]) const;
    // Value of line `line` for a unit +y load at abscissa x (the samples when they are ready).
    double InfluenceValue(double x, int line) const;
    // The exact value of a request with its state vector, never from the samples.
    double DirectInfluenceValue(double x, const InfluenceRequest& request,
                                const double* state) const;
    // Samples line `line` (by default the scratch line) on the 0.1 grid of the loading path
    // and sets m_ilSamplesReady; the sample at the section holds the static analysis's value.
    void SampleInfluenceLine(int line = -1);
    // Abscissa of sample i, from its index.
    double SampleX(long long i) const { return m_ilXMin + static_cast<double>(i) / 10; }
    // The sample at which the section of a force request stands on the path, where the line
    // jumps: `atSection` is the value for a load standing at the section (as the static
    // analysis takes it), `beside` the value for a load just before it along the member, and
    // `besideOnPath` whether such a load is on the path. -1 when there is no such sample.
    long long SectionSample(const InfluenceRequest& request, const double* state, double& atSection,
                            double& beside, bool& besideOnPath) const;
    // The x shift that puts a load standing at the section on the side of `atSection`
    // (positive factor) or of `beside` (negative).
    double SectionShift(const InfluenceRequest& request, double factor) const;
    // The path element that carries abscissa x (first in input order) and the relative
    // position on it; false when x is off the path.
    bool LocateOnPath(double x, int& element, double& t) const;
    // Value at relative position t of path element f, from a request and its state vector.
    double ValueOnPathElement(int f, double t, const InfluenceRequest& request,
                              const double* state) const;
    // Index of the sample nearest to x (may lie outside 0 ... m_ilSampleCount).
    double SampleIndex(double x) const { return std::floor((x - m_ilXMin) * 10 + 0.5); }

    // Effect of a main vehicle with its reference point at x on line `line`; negated for
    // sign false (the smallest value is searched as the largest negated one).
    double MainVehicleEffect(double x, int line, const CLiveLoad& load, bool sign,
                             bool rightward) const;
    // Fills m_trainBestUpTo and m_trainBestFrom; false after "内存不够！".
    bool BuildMainVehicleTables(const CLiveLoad& load, bool sign, bool rightward, int line);
    // Heavy vehicle at step k plus the best main vehicles around it (tables built first).
    double PlacementValue(int k, bool sign, bool rightward, const CLiveLoad& load,
                          int line) const;
    // The envelope of one live-load type (0 ... 13) and quantity (1 N, 2 Q, 3 M) at 11 points
    // of every element, written to the binary and text envelope files and the companion file
    // of concurrent forces. With concurrent not null it also receives, per point (11 e + j),
    // six doubles: N, Q, M of the maximum's placement, then of the minimum's, with the
    // envelope's factor, at full precision (the companion file rounds them).
    bool ComputeEnvelope(int type, int quantity, std::vector<double>* concurrent = nullptr);
    // ComputeEnvelope framed by the status texts and the completion message of the window.
    bool RunEnvelopeCommand(int type, int quantity);
    std::string EnvelopeBinaryPath(int type, int quantity) const;
    std::string EnvelopeTextPath(int type, int quantity) const;
    // The companion file of an envelope: at each point the three forces of the governing
    // placement of the maximum and of the minimum, and where the loads stand.
    std::string ConcurrentTextPath(int type, int quantity) const;
    // Reads a binary envelope file back; false after the message when it is missing or short.
    bool ReadEnvelope(int type, int quantity, EnvelopeData& data) const;

    // Worst placement of live-load list entry `entry` (0 ... 34) on line `line`; writes
    // B_活载.fem. False when nothing was placed (entry 0 or a failed model build); then no
    // B_活载.fem is left.
    bool PlaceLiveLoad(int line, int entry, CLiveLoad& load, LiveLoadPlacement& placement);
    // Appends one placed vehicle's element-load lines to text; `place` is 1-based.
    void WriteVehicleLoads(double x, int place, const CLiveLoad& load, bool rightward,
                           std::string& text, int& placeCount) const;
    // Effect of one placed vehicle on line `line`; `place` is 1-based.
    double VehicleEffect(double x, int place, const CLiveLoad& load, bool rightward,
                         int line) const;
    std::string PlacementPath() const { return m_baseName + "_活载.fem"; }
    // The worst placement of a lane load: the uniform load over the regions where the line
    // is adverse and the concentrated load at its largest adverse ordinate; writes
    // B_活载.fem.
    bool PlaceLaneLoad(int line, bool sign, const CLiveLoad& load, LiveLoadPlacement& placement);
    // B_活载.fem: the model copy with `count` element-load lines of case 1.
    bool WritePlacementFile(const std::string& loads, int count);
    // Writes B_影响线数据K.out for line `line` (0-based); false after the message.
    bool WriteInfluenceListing(int line);
    std::string InfluenceListingPath(int line) const;

    // While a placement is written: its section's sample (-1 none) and the shift that puts a
    // load standing there on the side the samples hold.
    long long m_ilSectionSample = -1;
    double m_ilSectionShift = 0;
    // --- design loads and combinations ---

    // The calculation span L0: the one given in m_designLoad, else the longest distance
    // between consecutive vertically supported nodes on the loading path (the path length
    // when fewer than two are supported).
    double DesignSpan() const;
    // The pieces of the loading path between element ends, in ascending x.
    void PathPieces(std::vector<PathPiece>& out) const;
    // The displacement weights of each of those pieces at its four fit positions and its
    // check position: what every line reads there, whatever its state.
    void PathPieceWeights(const std::vector<PathPiece>& path,
                          std::vector<PieceWeights>& out) const;
    // A line as cubic pieces on those pieces, split at the section of a force quantity.
    // With the weights of the path (PathPieceWeights) the pieces that the section leaves
    // alone are read through them, which gives the same values.
    void LinePieces(const std::vector<PathPiece>& path, const InfluenceRequest& request,
                    const double* state, std::vector<PieceCubic>& out,
                    const std::vector<PieceWeights>* weights = nullptr) const;
    // The factors of design-load type `type` under m_designLoad (types 0 ... 10 get 1); an
    // automatic impact factor runs the natural vibration first. False after the message.
    bool ComputeDesignFactors(int type, DesignFactorSet& out);
    // Runs the combinations of a combination file (all, or the one named); false after the
    // message.
    bool RunCombinations(const std::string& path, const std::string& name);
    std::string CombinationTextPath(const std::string& name) const;
    std::string CombinationBinaryPath(const std::string& name) const;
    // The companion files of a combination: the concurrent forces of each combined extreme.
    std::string CombinationConcurrentTextPath(const std::string& name) const;
    std::string CombinationConcurrentBinaryPath(const std::string& name) const;

    DesignLoadOptions m_designLoad;
    DesignFactorSet m_designFactors;  // of the last envelope search

    // Best totals of main vehicles with reference steps up to / from each step.
    std::vector<double> m_trainBestUpTo;
    std::vector<double> m_trainBestFrom;
    // Workers of the envelope search (1 = on the calling thread only).
    int m_envelopeWorkers = 2;

    // === dynamics (added by their subsystem) ===

    // Fills m_fullM and m_fullK (row-major n x n) from the model and B.stf.
    bool BuildDynamicMatrices();
    // Consistent mass matrix of one element in global axes into m_elemM (row <= column).
    void ElementMass(int element);
    // Every natural mode of the supported frame; true when the modal results are complete.
    bool NaturalVibration();
    // K x = lambda M x for m x m row-major lower triangles A (K) and B (M). On success row i
    // of A is eigenvector i and B[i][i] its eigenvalue; both are overwritten in any case.
    bool SolveGeneralEigen(double* A, double* B, int m);
    // m_modeOrder for ascending values, then every value replaced by its square root.
    bool SortModes(double* values, int m);
    // Reads the dynamic load file and sets up a response run: the damping, the run codes, the
    // excitations, the timing and the initial state (what DynamicResponse integrates, and
    // what the accelerations of a written B.tim are computed from). False after the message.
    bool ReadDynamicRun(const std::string& loadPath = kDynamicLoadFile);
    // The dynamic response under the dynamic load file (the front ends pass the
    // "dynamic_load.txt" beside the data file, else the working directory's), written to B.tim.
    bool DynamicResponse(const std::string& loadPath = kDynamicLoadFile);
    // Load vector at time t on the free equations of the run (m values, ascending order).
    bool LoadVector(double t, double* out) const;
    // Name of the response file B.tim.
    std::string ResponsePath() const { return m_baseName + ".tim"; }

    double m_elemM[6][6] = {};
    std::vector<double> m_fullM;  // n x n, row >= column filled
    std::vector<double> m_fullK;  // n x n, both triangles within the half bandwidth
    std::vector<double> m_fullC;  // n x n, row >= column filled
    int m_nModes = 0;
    std::vector<double> m_modeShapes;  // m_nModes rows of m_nDof
    std::vector<double> m_omega;       // circular frequency per mode, solver order
    std::vector<int> m_modeOrder;      // mode indices by ascending frequency
    std::vector<double> m_dynRecord;   // 2 n: displacements, then velocities
    std::vector<std::unique_ptr<CDynamicLoad>> m_dynLoads;
    std::vector<int> m_dynCodes;           // run codes: m_dofStatus plus 2 per prescribed motion
    double m_dynAlpha = 0, m_dynBeta = 0;  // Rayleigh damping of the last run
    double m_dynDuration = 0, m_dynStep = 0;
    EigenMethod m_eigenMethod = EigenMethod::kLapack;
    int m_modeCount = 0;  // the lowest modes wanted; 0 for every mode
    ResponseMethod m_responseMethod = ResponseMethod::kModal;
    SturmCheck m_sturm;  // of the last natural vibration

private:
    // Reading of the dynamic load file, after its first line.
    bool ReadDynamicLoads();
    bool ReadInitialState();

    // Reading, one operation per block of the data file.
    bool NextLine();
    bool ReadControl();
    bool ReadNodes();
    bool ReadSlaves();
    bool ReadMaterials();
    bool ReadSections();
    bool ReadOutline(Section& s);
    bool ReadElements();
    bool ReadSupports();
    bool ReadLoads();
    bool ReadInfluenceBlock();
    bool ComputeGeometry();
    void HzPrintf(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    // Where the reading has got to, for the detail of a message: "文件F第N行" and, when
    // given, "：" and the item.
    std::string ReadPlace(const std::string& item = std::string()) const;
    void WriteHzFile();

    std::string m_femPath;
    std::string m_readPath;  // the text file NextLine reads: data file or dynamic load file
    std::vector<int> m_nodeRefs;  // reference section of each node while reading
    bool m_hzCreated = false;
    bool m_hzClosed = false;
};

