// Consistent mass and natural vibration against closed forms and the modal properties.
#include <algorithm>
#include <cmath>

#include "DynamicsModels.h"
#include "TestSupport.h"

namespace {

constexpr double kPi = 3.141592653589793;

class NaturalVibrationTest : public ScratchDirTest {
protected:
    // Each model gets its own name: destroying an engine removes its B.stf.
    std::unique_ptr<CPlaneFrame> Solved(const BeamData& b) {
        auto frame = Load(BeamModel(b), true, FormatString("m%d", ++m_models));
        EXPECT_TRUE(frame) << LastMessage();
        return frame;
    }
    // The k-th lowest circular frequency (k from 0).
    static double Omega(const CPlaneFrame& f, int k) { return f.m_omega[f.m_modeOrder[k]]; }
    // x^T A y over all equations for a full matrix whose lower triangle is filled.
    static double Form(const CPlaneFrame& f, const std::vector<double>& A, const double* x,
                       const double* y) {
        const size_t n = static_cast<size_t>(f.m_nDof);
        double s = 0;
        for (size_t i = 0; i < n; ++i)
            for (size_t j = 0; j < n; ++j)
                s += x[i] * A[std::max(i, j) * n + std::min(i, j)] * y[j];
        return s;
    }
    int m_models = 0;
};

}  // namespace

TEST_F(NaturalVibrationTest, UniformElementGivesTheClassicalConsistentMass) {
    // Inclined element: the global matrix must equal T^T m T of the classical local matrix.
    BeamData b;
    b.length = 3;
    b.elements = 1;
    b.angle = 0.6;
    auto frame = Load(BeamModel(b), false);
    ASSERT_TRUE(frame);
    frame->ElementMass(0);
    const double m = 1000, L = 3, f = m * L / 420;
    const double local[6][6] = {{140 * f, 0, 0, 70 * f, 0, 0},
                                {0, 156 * f, 22 * L * f, 0, 54 * f, -13 * L * f},
                                {0, 22 * L * f, 4 * L * L * f, 0, 13 * L * f, -3 * L * L * f},
                                {70 * f, 0, 0, 140 * f, 0, 0},
                                {0, 54 * f, 13 * L * f, 0, 156 * f, -22 * L * f},
                                {0, -13 * L * f, -3 * L * L * f, 0, -22 * L * f, 4 * L * L * f}};
    const double c = std::cos(0.6), s = std::sin(0.6);
    double T[6][6] = {};
    for (int k = 0; k < 2; ++k) {
        T[3 * k][3 * k] = c;
        T[3 * k][3 * k + 1] = s;
        T[3 * k + 1][3 * k] = -s;
        T[3 * k + 1][3 * k + 1] = c;
        T[3 * k + 2][3 * k + 2] = 1;
    }
    for (int a = 0; a < 6; ++a)
        for (int bb = a; bb < 6; ++bb) {
            double g = 0;
            for (int k = 0; k < 6; ++k)
                for (int l = 0; l < 6; ++l) g += T[k][a] * local[k][l] * T[l][bb];
            EXPECT_NEAR(frame->m_elemM[a][bb], g, 1e-9 * 140 * f) << a << "," << bb;
        }
    // A tapered element keeps the total mass: the translational entries sum to the weight.
    frame->m_sections.push_back(frame->m_sections[0]);
    frame->m_sections[1].weight = 3 * 9800;
    frame->m_elements[0].jSection = 1;
    frame->ElementMass(0);
    const auto& M = frame->m_elemM;
    const double axial = M[0][0] * c * c + M[3][3] * c * c + 2 * M[0][3] * c * c;
    EXPECT_NEAR((M[0][0] + M[3][3] + 2 * M[0][3]) + (M[1][1] + M[4][4] + 2 * M[1][4]),
                2 * (1000 + 3000) / 2.0 * L, 1e-9 * 1000 * L);
    EXPECT_GT(axial, 0);
}

TEST_F(NaturalVibrationTest, BeamFrequenciesConvergeToTheAnalyticalValues) {
    // Simply supported: beta_k L = k pi. Cantilever: 1.8751, 4.6941.
    BeamData ss;
    BeamData cant;
    cant.leftCode = "111";
    cant.rightCode = "";
    const double ssRoots[] = {kPi, 2 * kPi, 3 * kPi};
    const double cantRoots[] = {1.875104068711961, 4.694091132974175};
    double lastErr[2][3] = {{1, 1, 1}, {1, 1, 1}};
    for (int elements : {2, 4, 8}) {
        for (int kind = 0; kind < 2; ++kind) {
            BeamData b = kind == 0 ? ss : cant;
            b.elements = elements;
            auto frame = Solved(b);
            ASSERT_TRUE(frame);
            ASSERT_TRUE(frame->NaturalVibration());
            EXPECT_EQ(frame->m_nModes, frame->m_nDof - frame->m_nConstrainedDofs);
            for (int k = 0; k < (kind == 0 ? 3 : 2); ++k) {
                const double exact = BeamOmega(b, kind == 0 ? ssRoots[k] : cantRoots[k]);
                const double err = Omega(*frame, k) / exact - 1;
                // Consistent mass bounds the frequencies from above, and refining helps.
                EXPECT_GT(err, -1e-9) << elements << " elements, mode " << k;
                EXPECT_LT(err, lastErr[kind][k]) << elements << " elements, mode " << k;
                lastErr[kind][k] = err;
            }
        }
    }
    // Cubic elements converge with the fourth power of the element length.
    EXPECT_LT(lastErr[0][0], 3e-5);
    EXPECT_LT(lastErr[1][0], 5e-6);
    EXPECT_LT(lastErr[1][1], 2e-4);
}

TEST_F(NaturalVibrationTest, ModesAreNormalisedOrthogonalAndZeroAtSupports) {
    BeamData b;
    b.elements = 6;
    b.angle = 0.3;
    auto frame = Solved(b);
    ASSERT_TRUE(frame);
    ASSERT_TRUE(frame->NaturalVibration());
    const int n = frame->m_nDof, m = frame->m_nModes;
    ASSERT_EQ(m, n - 3);
    for (int j = 0; j < m; ++j) {
        const double* phi = &frame->m_modeShapes[static_cast<size_t>(j) * n];
        double largest = 0;
        for (int i = 0; i < n; ++i) {
            if (frame->m_dofStatus[i] == 1) {
                EXPECT_EQ(phi[i], 0.0);
            }
            largest = std::max(largest, std::fabs(phi[i]));
        }
        EXPECT_EQ(largest, 1.0) << "mode " << j;
        // Rayleigh quotient and M-orthogonality against the global matrices.
        const double mjj = Form(*frame, frame->m_fullM, phi, phi);
        const double kjj = Form(*frame, frame->m_fullK, phi, phi);
        EXPECT_NEAR(kjj / mjj, frame->m_omega[j] * frame->m_omega[j],
                    1e-8 * frame->m_omega[j] * frame->m_omega[j]);
        for (int k = 0; k < j; ++k) {
            const double* psi = &frame->m_modeShapes[static_cast<size_t>(k) * n];
            const double mkk = Form(*frame, frame->m_fullM, psi, psi);
            EXPECT_NEAR(Form(*frame, frame->m_fullM, phi, psi) / std::sqrt(mjj * mkk), 0, 1e-9);
        }
    }
    for (int k = 1; k < m; ++k) EXPECT_LE(Omega(*frame, k - 1), Omega(*frame, k));
}

TEST_F(NaturalVibrationTest, NoOneAndEqualModes) {
    // m = 0: everything fixed.
    BeamData none;
    none.elements = 1;
    none.leftCode = "111";
    none.rightCode = "111";
    auto frame = Solved(none);
    ASSERT_TRUE(frame);
    EXPECT_TRUE(frame->NaturalVibration());
    EXPECT_EQ(frame->m_nModes, 0);

    // m = 1: only the tip deflection of a cantilever is free, omega^2 = k / m exactly.
    BeamData one = none;
    one.rightCode = "101";
    frame = Solved(one);
    ASSERT_TRUE(frame);
    ASSERT_TRUE(frame->NaturalVibration());
    ASSERT_EQ(frame->m_nModes, 1);
    EXPECT_EQ(frame->m_modeOrder[0], 0);
    const double L = one.length;
    const double k = 12 * one.E * one.I / (L * L * L), mass = 156 * 1000 * L / 420;
    EXPECT_NEAR(frame->m_omega[0], std::sqrt(k / mass), 1e-12 * std::sqrt(k / mass));
    EXPECT_EQ(frame->m_modeShapes[4], 1.0);

    // Two identical cantilevers side by side: every frequency twice.
    const std::string twin =
        "4 2 0 1 1 0 2 0\n1 0 0\n2 5 0\n3 0 10\n4 5 10\n1 2e11\n1 1 0.01 9800 0 0.5 0.5\n"
        "1 1 2 1 1 1\n2 3 4 1 1 1\n1 111\n3 111\n";
    frame = Load(twin, true);
    ASSERT_TRUE(frame) << LastMessage();
    ASSERT_TRUE(frame->NaturalVibration());
    ASSERT_EQ(frame->m_nModes, 6);
    for (int j = 0; j < 6; j += 2) {
        EXPECT_NEAR(Omega(*frame, j), Omega(*frame, j + 1), 1e-9 * Omega(*frame, j));
        if (j > 0) {
            EXPECT_LT(Omega(*frame, j - 1), Omega(*frame, j));
        }
    }
}

TEST_F(NaturalVibrationTest, SortModesOrdersAnyValuesAndTakesRoots) {
    auto frame = Solved(BeamData());
    ASSERT_TRUE(frame);
    for (int m : {0, 1, 2, 7, 8, 100}) {
        std::vector<double> values(static_cast<size_t>(m));
        for (int j = 0; j < m; ++j) values[j] = static_cast<double>((j * 37 + 11) % 13);
        std::vector<double> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        std::vector<double> work = values;
        ASSERT_TRUE(frame->SortModes(work.data(), m));
        ASSERT_EQ(frame->m_modeOrder.size(), static_cast<size_t>(m));
        std::vector<int> seen(static_cast<size_t>(m), 0);
        for (int k = 0; k < m; ++k) {
            const int j = frame->m_modeOrder[k];
            ++seen[j];
            EXPECT_EQ(values[j], sorted[k]) << "m " << m << " position " << k;
            EXPECT_EQ(work[j], std::sqrt(values[j]));
        }
        for (int s : seen) EXPECT_EQ(s, 1);
    }
}

TEST_F(NaturalVibrationTest, MasslessEquationsGiveNoResultsAndNoMessage) {
    BeamData b;
    b.weight = 0;
    auto frame = Solved(b);
    ASSERT_TRUE(frame);
    EXPECT_FALSE(frame->NaturalVibration());
    EXPECT_EQ(frame->m_nModes, 0);
    EXPECT_TRUE(host.messages.empty()) << LastMessage();
}

TEST_F(NaturalVibrationTest, MissingOrShortStiffnessFileIsReported) {
    auto frame = Solved(BeamData());
    ASSERT_TRUE(frame);
    const std::string stf = frame->StiffnessPath();
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(stf, bytes));
    ASSERT_TRUE(WriteWholeFile(stf, bytes.substr(0, bytes.size() - 8)));
    EXPECT_FALSE(frame->NaturalVibration());
    EXPECT_NE(LastMessage().find(".stf"), std::string::npos) << LastMessage();
    EXPECT_EQ(frame->m_nModes, 0);
    RemoveFile(stf);
    host.messages.clear();
    EXPECT_FALSE(frame->NaturalVibration());
    EXPECT_EQ(host.messages.size(), 1u);
}

TEST_F(NaturalVibrationTest, StiffModelWithLargeEigenvaluesFinishes) {
    // Short, very stiff and light elements: the largest eigenvalues are near 1e10 and
    // beyond, where rounding keeps off-diagonal entries far above the absolute 1e-8.
    BeamData b;
    b.length = 2;
    b.elements = 20;
    b.A = 0.05;
    b.I = 0.002;
    b.weight = 98;
    auto frame = Solved(b);
    ASSERT_TRUE(frame);
    ASSERT_TRUE(frame->NaturalVibration());
    const int m = frame->m_nModes;
    const double top = Omega(*frame, m - 1);
    EXPECT_GT(top * top, 1e10);
    const double exact = BeamOmega(b, kPi);
    // The standard form rounds at about 1e-11 of the largest eigenvalue.
    EXPECT_NEAR(Omega(*frame, 0), exact, 1e-5 * exact);
    const size_t n = static_cast<size_t>(frame->m_nDof);
    for (int j = 0; j < m; ++j) {
        const double* phi = &frame->m_modeShapes[j * n];
        const double q =
            Form(*frame, frame->m_fullK, phi, phi) / Form(*frame, frame->m_fullM, phi, phi);
        EXPECT_NEAR(q, frame->m_omega[j] * frame->m_omega[j], 1e-7 * top * top) << j;
    }
}

TEST_F(NaturalVibrationTest, AStopDuringTheEigenSolutionEndsItAtTheNextStep) {
    BeamData b;
    b.elements = 200;  // 600 free equations
    auto frame = Solved(b);
    ASSERT_TRUE(frame);
    frame->m_keepRunning = 0;
    EXPECT_FALSE(frame->NaturalVibration());
    // The solution tells its progress step by step; the user stops at the first percentage.
    class CStoppingHost : public CRecordingHost {
    public:
        explicit CStoppingHost(CPlaneFrame& f) : frame(f) {}
        void Status(const std::string& text) override {
            CRecordingHost::Status(text);
            if (text.find("%)") != std::string::npos) frame.m_keepRunning = 0;
        }
        CPlaneFrame& frame;
    } stopping(*frame);
    frame->m_keepRunning = 1;
    SetHost(&stopping);
    const bool result = frame->NaturalVibration();
    SetHost(&host);
    EXPECT_FALSE(result);
    EXPECT_EQ(frame->m_nModes, 0);
    EXPECT_TRUE(stopping.messages.empty());
    ASSERT_EQ(stopping.statuses.size(), 1u);
    EXPECT_EQ(stopping.statuses[0], "固有振动分析进行中...(5%)");
}
