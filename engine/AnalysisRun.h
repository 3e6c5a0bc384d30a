// The analysis run that opening a data file starts, shared by the window and the batch tool.
#pragma once

#include <memory>
#include <string>

#include "engine/PlaneFrame.h"

// The data-file path without a trailing ".fem" (any letter case); a path without that
// extension is its own base.
std::string DataFileBase(const std::string& femPath);

// Checks that the file exists and no other process works on it, reads and solves it at
// raised priority. Returns the engine on success; on failure the message has been shown and
// nullptr is returned. keepScratchFiles leaves B.1 ... B.n, B.stf and B_huozai.txt behind,
// failed run or not.
std::unique_ptr<CPlaneFrame> RunAnalysis(const std::string& femPath, bool keepScratchFiles = false);

// The two halves of RunAnalysis, for a window that runs the analysis on a worker and may stop
// it: PrepareAnalysis checks the file and makes the engine (nullptr after the message);
// AnalyseModel reads and solves at raised priority, false after the message or, without
// one, when a stop was asked for (the engine's m_keepRunning cleared).
std::unique_ptr<CPlaneFrame> PrepareAnalysis(const std::string& femPath,
                                             bool keepScratchFiles = false);
bool AnalyseModel(CPlaneFrame& frame);
