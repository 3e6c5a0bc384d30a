// Shared test helpers: a recording host and a scratch working directory.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/PlaneFrame.h"
#include "platform/Host.h"

class CRecordingHost : public CHost {
public:
    void Message(const std::string& text, const std::string& detail) override {
        messages.push_back(text);
        details.push_back(detail);
    }
    void Status(const std::string& text) override { statuses.push_back(text); }

    std::vector<std::string> messages;
    std::vector<std::string> details;
    std::vector<std::string> statuses;
};

// Runs each test in a fresh directory (side files such as user_hz.txt live in the working
// directory) with a recording host installed.
class ScratchDirTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string Path(const std::string& name) const { return m_dir + "/" + name; }
    void WriteFile(const std::string& name, const std::string& text) const;
    std::string ReadFile(const std::string& name) const;
    bool Exists(const std::string& name) const;

    // Writes the model to NAME.fem and runs the engine's Read (and Solve when asked).
    std::unique_ptr<CPlaneFrame> Load(const std::string& model, bool solve,
                                      const std::string& name = "m");

    std::string LastMessage() const {
        return host.messages.empty() ? std::string() : host.messages.back();
    }

    CRecordingHost host;
    std::string m_dir;
    std::string m_oldDir;
};

std::string SourcePath(const std::string& relative);

// What a run of the batch tool printed and returned.
struct CliResult {
    int status = -1;
    std::string out, err;
    std::string All() const { return out + err; }
};

// Runs morvex-cli with the arguments in the working directory.
CliResult RunCli(const std::string& args);

// A scratch-directory test that runs the batch tool: Cli() returns the exit status and keeps
// what it printed in out and err.
class CliTest : public ScratchDirTest {
protected:
    int Cli(const std::string& args) {
        const CliResult r = RunCli(args);
        out = r.out;
        err = r.err;
        return r.status;
    }
    std::string out, err;
};
