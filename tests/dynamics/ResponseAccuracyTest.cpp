// Accuracy of the dynamic response: the modal and the full-matrix integration agree to
// rounding, and both at the usual step match a run with a step 100 times finer.
#include <cmath>
#include <functional>

#include "DynamicsModels.h"
#include "DynamicsRun.h"
#include "platform/TextFile.h"

namespace {

// A 40 m beam of 12 elements over three supports, the middle one at node 7.
std::string TwoSpanModel() {
    BeamData b;
    b.elements = 12;
    b.length = 40;
    std::string t = BeamModel(b);
    t.replace(0, t.find('\n'), FormatString("13 12 0 1 1 0 3 0"));
    return t + "7 010 0 0 0\n";
}

class ResponseAccuracyTest : public ScratchDirTest {
protected:
    std::vector<ResponseRecord> Run(CPlaneFrame& frame, const std::string& load,
                                    ResponseMethod method) {
        WriteFile(kDynamicLoadFile, load);
        frame.m_responseMethod = method;
        EXPECT_TRUE(frame.DynamicResponse()) << LastMessage();
        return ReadResponse(frame);
    }
    // Largest difference of equation e's displacement and velocity between the runs, at the
    // times of the coarse one, against the peak of the fine one.
    static void Compare(const std::vector<ResponseRecord>& coarse,
                        const std::vector<ResponseRecord>& fine, int every, int e, double relative,
                        const std::string& what) {
        ASSERT_EQ((coarse.size() - 1) * every + 1, fine.size()) << what;
        double peakD = 0, peakV = 0, errD = 0, errV = 0;
        for (const auto& r : fine) {
            peakD = std::max(peakD, std::fabs(r.d[e]));
            peakV = std::max(peakV, std::fabs(r.v[e]));
        }
        for (size_t i = 0; i < coarse.size(); ++i) {
            const ResponseRecord& f = fine[i * every];
            ASSERT_NEAR(coarse[i].t, f.t, 1e-9) << what;
            errD = std::max(errD, std::fabs(coarse[i].d[e] - f.d[e]));
            errV = std::max(errV, std::fabs(coarse[i].v[e] - f.v[e]));
        }
        EXPECT_GT(peakD, 0) << what;
        EXPECT_LE(errD, relative * peakD) << what << ": displacement, peak " << peakD;
        EXPECT_LE(errV, relative * peakV) << what << ": velocity, peak " << peakV;
    }
};

struct Case {
    const char* what;
    bool twoSpan;
    const char* damping;
    const char* records;  // counts line and records
};

const Case kCases[] = {
    {"moving load", false, "0.5 2e-4", "1 0 0\n0 20 -1e5 0 0 0 0\n"},
    {"harmonic load", false, "0.5 2e-4", "0 1 0\n6 2 -1e4 1 20 0.3 0\n"},
    {"step load", false, "0.5 2e-4", "0 1 0\n6 2 -1e4 0 0 0 0\n"},
    {"settlement, damped", true, "0.5 2e-4", "0 0 1\n7 2 -0.01 0 0 0\n"},
    {"settlement, undamped", true, "0 0", "0 0 1\n7 2 -0.01 0 0 0\n"},
};

std::string LoadFile(const Case& c, double dt) {
    return FormatString("%s\n2 %.17g\n%s0\n", c.damping, dt, c.records);
}

}  // namespace

TEST_F(ResponseAccuracyTest, MidSpanMatchesAHundredTimesFinerStepAndBothMethodsAgree) {
    for (const Case& c : kCases) {
        BeamData b;
        b.length = 20;
        b.elements = 10;
        b.loadingPath = true;
        auto frame = Load(c.twoSpan ? TwoSpanModel() : BeamModel(b), true);
        ASSERT_TRUE(frame) << LastMessage();
        // Mid-span of the (first) span, vertical.
        const int e = frame->m_dofNum[c.twoSpan ? 3 : 5][1];
        const auto modal = Run(*frame, LoadFile(c, 0.01), ResponseMethod::kModal);
        const auto full = Run(*frame, LoadFile(c, 0.01), ResponseMethod::kFull);
        const auto fine = Run(*frame, LoadFile(c, 0.0001), ResponseMethod::kFull);
        Compare(modal, fine, 100, e, 0.01, std::string(c.what) + ", dt 0.01 against 0.0001");
        // Every equation of every record, modal against full at the same step: both are exact
        // for the same piecewise-linear load, so only rounding separates them (measured up to
        // 2.4e-11 of the peak; 4.5e-10 before the modal eigenvalues were refined).
        ASSERT_EQ(modal.size(), full.size());
        double peak = 0, diff = 0, peakV = 0, diffV = 0;
        for (size_t i = 0; i < full.size(); ++i)
            for (size_t k = 0; k < full[i].d.size(); ++k) {
                peak = std::max(peak, std::fabs(full[i].d[k]));
                peakV = std::max(peakV, std::fabs(full[i].v[k]));
                diff = std::max(diff, std::fabs(full[i].d[k] - modal[i].d[k]));
                diffV = std::max(diffV, std::fabs(full[i].v[k] - modal[i].v[k]));
            }
        EXPECT_LE(diff, 1e-10 * peak) << c.what;
        EXPECT_LE(diffV, 1e-10 * peakV) << c.what;
    }
}

TEST_F(ResponseAccuracyTest, BundledExampleVelocityIsSettledAtItsStep) {
    std::string model, load;
    ASSERT_TRUE(ReadWholeFile(SourcePath("examples/three_span_girder.fem"), model));
    ASSERT_TRUE(ReadWholeFile(SourcePath("examples/dynamic_load.txt"), load));
    auto frame = Load(model, true, "girder");
    ASSERT_TRUE(frame) << LastMessage();
    const size_t at = load.find("6.0  0.01");
    ASSERT_NE(at, std::string::npos);
    const auto coarse = Run(*frame, load, ResponseMethod::kModal);
    const auto fine = Run(*frame, load.replace(at, 9, "6.0  0.0005"), ResponseMethod::kModal);
    Compare(coarse, fine, 20, frame->m_dofNum[10][1], 0.01, "node 11, dt 0.01 against 0.0005");
}
