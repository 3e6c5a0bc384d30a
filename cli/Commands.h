// Subcommands of the batch tool. Each returns the process exit status: 0 success,
// 1 analysis failure, 2 usage error.
#pragma once

#include <string>
#include <vector>

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int RunCommand(const std::vector<std::string>& args);
int EnvelopeCommand(const std::vector<std::string>& args);
int InfluenceCommand(const std::vector<std::string>& args);
int PlaceCommand(const std::vector<std::string>& args);
int RenderCommand(const std::vector<std::string>& args);
int ModesCommand(const std::vector<std::string>& args);
int DynamicCommand(const std::vector<std::string>& args);
int ExtractCommand(const std::vector<std::string>& args);
int CombineCommand(const std::vector<std::string>& args);
int ExportCommand(const std::vector<std::string>& args);
int ReportCommand(const std::vector<std::string>& args);
