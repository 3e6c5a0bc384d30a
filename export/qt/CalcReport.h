// The calculation report: the model, its results and drawings as a PDF document in
// Simplified Chinese, with the CJK font embedded and the diagrams as vector graphics.
#pragma once

#include <string>
#include <vector>

#include "export/ResultTables.h"

class CExportProgress;
class CPlaneFrame;

// What the report covers beyond the model: load cases (0-based; empty for every case),
// envelopes of live-load types, and the first `modes` natural modes (CExportChoice).
struct CReportChoice {
    std::vector<int> cases;
    CExportChoice results;
};

// Writes the report of an analysed engine into a PDF file. femPath is the data file (its
// first line, when not a data line, is the model's title). Every diagram page is laid out
// as a printed page of the result window. The envelope files and modes the choice names
// must exist (RunRequestedAnalyses). The report replaces a file at pdfPath only when
// complete. False after the message, or without one when the progress (one step per page)
// reports a stop.
bool WriteCalcReport(CPlaneFrame& frame, const std::string& femPath, const CReportChoice& choice,
                     const std::string& pdfPath, CExportProgress* progress = nullptr);

// Rewrites the text layer of a PDF written by Qt so that copied or extracted text gives the
// characters that were drawn: where a CJK font draws an ideograph and a radical with one
// glyph, the text map names the ideograph, not the radical. The file keeps its size.
bool RepairTextLayer(const std::string& pdfPath);
