// morvex-cli modes, dynamic and extract, and Ctrl-C during a long eigen-solution.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdio>
#include <filesystem>

#include <chrono>
#include <sstream>
#include <thread>

#include "TestSupport.h"
#include "dynamics/DynamicsModels.h"
#include "platform/Format.h"
#include "platform/TextFile.h"

namespace {

class DynamicsCliTest : public CliTest {};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> v;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) v.push_back(line);
    return v;
}

}  // namespace

TEST_F(DynamicsCliTest, ModesDynamicAndExtract) {
    BeamData b;
    b.elements = 4;
    WriteFile("beam.fem", BeamModel(b));
    ASSERT_EQ(Cli("modes beam.fem"), 0) << err;
    auto lines = Lines(out);
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines.back().rfind("Sturm check: 12 eigenvalues below", 0), 0u) << lines.back();
    EXPECT_NE(lines.back().find("12 modes found: none missed"), std::string::npos);
    lines.pop_back();
    double last = 0;
    for (size_t k = 0; k < lines.size(); ++k) {
        const std::string head = FormatString("频率%d：", static_cast<int>(k + 1));
        ASSERT_EQ(lines[k].rfind(head, 0), 0u) << lines[k];
        const double omega = std::stod(lines[k].substr(head.size()));
        EXPECT_GE(omega, last);
        last = omega;
        // After the circular frequency, the frequency in Hz and the period.
        double hz = 0, period = 0;
        ASSERT_EQ(std::sscanf(lines[k].c_str() + head.size(), "%*e  %lf Hz  %lf s", &hz, &period),
                  2)
            << lines[k];
        EXPECT_NEAR(hz, omega / (2 * 3.141592653589793), 1e-4 * hz);
        EXPECT_NEAR(hz * period, 1.0, 1e-3);
    }
    const double exact = BeamOmega(b, 3.141592653589793);
    EXPECT_NEAR(std::stod(lines[0].substr(lines[0].find("：") + 3)), exact, 1e-3 * exact);

    EXPECT_EQ(Cli("dynamic beam.fem"), 1);
    EXPECT_NE(err.find("dynamic_load.txt不存在"), std::string::npos) << err;
    EXPECT_NE(err.find("动力响应未能顺利完成！"), std::string::npos) << err;
    WriteFile("impact.txt", "0 0\n0.1 0.01\n0 1 0\n3 2 -1e4 0 0 0 0\n0\n");
    ASSERT_EQ(Cli("dynamic beam.fem --load impact.txt"), 0) << err;
    EXPECT_NE(out.find("动力响应分析完成！"), std::string::npos);
    EXPECT_NE(out.find("(11 records)"), std::string::npos) << out;
    WriteFile("dynamic_load.txt", "0 0\n0.05 0.01\n0 1 0\n3 2 -1e4 0 0 0 0\n0\n");
    ASSERT_EQ(Cli("dynamic beam.fem"), 0) << err;
    EXPECT_NE(out.find("(6 records)"), std::string::npos) << out;

    ASSERT_EQ(Cli("extract beam.fem --node 3 --dof 2"), 0) << err;
    EXPECT_EQ(Lines(ReadFile("beam_节点3自由度2_动力响应.txt")).size(), 6u);
    EXPECT_EQ(Cli("extract beam.fem --node 9 --dof 2"), 2);
    EXPECT_EQ(Cli("extract beam.fem --node 3 --dof 4"), 2);
    EXPECT_EQ(Cli("extract beam.fem --node 3"), 2);

    // The lowest modes alone, and the methods by name.
    ASSERT_EQ(Cli("modes beam.fem --count 3"), 0) << err;
    const auto low = Lines(out);
    ASSERT_EQ(low.size(), 4u);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(low[k], lines[k]);
    EXPECT_NE(low[3].find("3 eigenvalues below"), std::string::npos) << low[3];
    ASSERT_EQ(Cli("modes beam.fem --method jacobi"), 0) << err;
    EXPECT_EQ(Lines(out).size(), 13u);
    EXPECT_EQ(Cli("modes beam.fem --method qr"), 2);
    EXPECT_EQ(Cli("modes beam.fem --count 0"), 2);
}

TEST_F(DynamicsCliTest, DynamicLoadFileBesideTheDataFileComesFirst) {
    BeamData b;
    b.elements = 4;
    std::filesystem::create_directory(Path("sub"));
    WriteFile("sub/beam.fem", BeamModel(b));
    // Only the working directory has one: it is used.
    WriteFile("dynamic_load.txt", "0 0\n0.1 0.01\n0 1 0\n3 2 -1e4 0 0 0 0\n0\n");
    ASSERT_EQ(Cli("dynamic sub/beam.fem"), 0) << err;
    EXPECT_NE(out.find("(11 records)"), std::string::npos) << out;
    // One beside the data file wins over the working directory's.
    WriteFile("sub/dynamic_load.txt", "0 0\n0.05 0.01\n0 1 0\n3 2 -1e4 0 0 0 0\n0\n");
    ASSERT_EQ(Cli("dynamic sub/beam.fem"), 0) << err;
    EXPECT_NE(out.find("(6 records)"), std::string::npos) << out;
    // An explicit --load wins over both.
    WriteFile("impact.txt", "0 0\n0.02 0.01\n0 1 0\n3 2 -1e4 0 0 0 0\n0\n");
    ASSERT_EQ(Cli("dynamic sub/beam.fem --load impact.txt"), 0) << err;
    EXPECT_NE(out.find("(3 records)"), std::string::npos) << out;
}

TEST_F(DynamicsCliTest, CtrlCStopsALongEigenSolution) {
    BeamData b;
    b.elements = 400;  // 1200 free equations: far longer than the wait below
    WriteFile("long.fem", BeamModel(b));
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (!freopen("stdout", "w", stdout) || !freopen("stderr", "w", stderr)) _exit(99);
        execl(MORVEX_CLI, MORVEX_CLI, "modes", "long.fem", "--method", "jacobi",
              static_cast<char*>(nullptr));
        _exit(98);
    }
    // Signal once the eigen-solution has begun (the static analysis is not stoppable).
    std::string text;
    for (int i = 0; i < 3000 && text.find("固有振动分析进行中") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ReadWholeFile(Path("stderr"), text);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    kill(pid, SIGINT);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by a signal instead of stopping";
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(ReadFile("stderr").find("stopped"), std::string::npos) << ReadFile("stderr");
    EXPECT_EQ(ReadFile("stdout"), "");
}

TEST_F(DynamicsCliTest, ExtractAccelerationAndForceHistories) {
    BeamData b;
    b.elements = 4;
    WriteFile("beam.fem", BeamModel(b));
    WriteFile("dynamic_load.txt", "0.5 2e-4\n0.05 0.01\n0 1 0\n3 2 -1e4 0 0 0 0\n0\n");
    ASSERT_EQ(Cli("dynamic beam.fem"), 0) << err;

    ASSERT_EQ(Cli("extract beam.fem --node 3 --dof 2 --acceleration"), 0) << err;
    EXPECT_NE(out.find("wrote beam_节点3自由度2_加速度.txt (6 records)"), std::string::npos) << out;
    const auto acc = Lines(ReadFile("beam_节点3自由度2_加速度.txt"));
    ASSERT_EQ(acc.size(), 6u);
    EXPECT_EQ(acc[1].size(), 33u) << acc[1];
    // At t = 0 the beam is at rest under the full step load: a = M^-1 F, downward.
    EXPECT_LT(std::stod(acc[0].substr(16)), 0.0) << acc[0];
    // Another load file by name gives the accelerations of that load.
    WriteFile("other.txt", "0.5 2e-4\n0.05 0.01\n0 1 0\n3 2 -2e4 0 0 0 0\n0\n");
    ASSERT_EQ(Cli("extract beam.fem --node 3 --dof 2 --acceleration --load other.txt"), 0) << err;
    const auto other = Lines(ReadFile("beam_节点3自由度2_加速度.txt"));
    ASSERT_EQ(other.size(), 6u);
    EXPECT_NEAR(std::stod(other[0].substr(16)), 2 * std::stod(acc[0].substr(16)),
                1e-5 * std::fabs(std::stod(acc[0].substr(16))));
    // A load file of another duration does not belong to this B.tim.
    WriteFile("longer.txt", "0.5 2e-4\n0.5 0.01\n0 1 0\n3 2 -1e4 0 0 0 0\n0\n");
    EXPECT_EQ(Cli("extract beam.fem --node 3 --dof 2 --acceleration --load longer.txt"), 1);
    EXPECT_NE(err.find("不完整或不属于本模型"), std::string::npos) << err;
    EXPECT_EQ(Cli("extract beam.fem --node 3 --dof 2 --acceleration --load none.txt"), 1);
    EXPECT_NE(err.find("none.txt不存在"), std::string::npos) << err;

    ASSERT_EQ(Cli("extract beam.fem --force 2 --point 11"), 0) << err;
    EXPECT_NE(out.find("wrote beam_单元2点11_内力响应.txt (6 records)"), std::string::npos) << out;
    const auto forces = Lines(ReadFile("beam_单元2点11_内力响应.txt"));
    ASSERT_EQ(forces.size(), 6u);
    EXPECT_EQ(forces[0], "   0.000000e+000    0.000000e+000    0.000000e+000    0.000000e+000");
    EXPECT_EQ(forces[3].size(), 67u) << forces[3];

    EXPECT_EQ(Cli("extract beam.fem --force 5 --point 1"), 2);
    EXPECT_NE(err.find("element 5 is not in the model (1 ... 4)"), std::string::npos) << err;
    EXPECT_EQ(Cli("extract beam.fem --force 2 --point 12"), 2);
    EXPECT_EQ(Cli("extract beam.fem --force 2"), 2);
    EXPECT_EQ(Cli("extract beam.fem --force 2 --point 3 --node 3"), 2);
    EXPECT_EQ(Cli("extract beam.fem --node 3 --dof 2 --load other.txt"), 2);
    EXPECT_EQ(Cli("extract beam.fem --node -3 --dof 2"), 2);
    EXPECT_NE(err.find("node -3 is not in the model"), std::string::npos) << err;
}
