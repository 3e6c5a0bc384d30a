// The model and its results as tables with headed columns: one source for the workbook,
// the CSV files and the tables of the calculation report.
#pragma once

#include <string>
#include <vector>

class CExportProgress;
class CPlaneFrame;

// A cell: a number, or text when isText.
struct CCell {
    double number = 0;
    std::string text;
    bool isText = false;
};

inline CCell Num(double v) {
    return CCell{v, {}, false};
}
inline CCell Text(std::string s) {
    return CCell{0, std::move(s), true};
}

// One table: its sheet (and CSV file) name, a title for the report, column heads with their
// units, and the rows.
struct CTable {
    std::string sheet;
    std::string title;
    std::vector<std::string> headers;
    std::vector<std::vector<CCell>> rows;
};

// What the export takes beyond the static results: envelopes of these live-load types
// (their files must exist), the first `modes` natural modes (when analysed) and the time
// history of one node component from B.tim (node 1-based, direction 0 x, 1 y, 2 rotation;
// node 0 for none).
struct CExportChoice {
    std::vector<int> envelopeTypes;
    bool combinations = false;  // the combinations of B_组合.txt, computed first
    int modes = 0;
    int historyNode = 0;
    int historyDirection = 1;
};

// Nodes, elements, sections, materials, supports and loads as the analysis uses them.
std::vector<CTable> ModelTables(const CPlaneFrame& frame);
// Displacements of the nodes in one load case (0-based).
CTable DisplacementTable(const CPlaneFrame& frame, int loadCase);
// End forces of every element in one load case, local axes.
CTable EndForceTable(const CPlaneFrame& frame, int loadCase);
// Support reactions of every case; reads the assembled matrix back from B.stf. False after
// the message when it is missing.
bool ReactionTable(CPlaneFrame& frame, CTable& table);
// N, Q, M at the 11 points of every element from the per-case file B.k; false after the
// message when the file is missing or short.
bool InternalForceTable(const CPlaneFrame& frame, int loadCase, CTable& table);
// Maximum and minimum of one envelope (quantity 1 N, 2 Q, 3 M) at the 11 points; false after
// the message when its file is missing or short.
bool EnvelopeTable(const CPlaneFrame& frame, int type, int quantity, CTable& table);
// The combined envelope of one combination of the combination file, at the 11 points;
// false after the message when its file is missing or short.
bool CombinationTable(const CPlaneFrame& frame, const std::string& name, CTable& table);
// The names of the combinations in the model's combination file B_组合.txt; false after
// the message when it is missing or wrong.
bool CombinationNames(const CPlaneFrame& frame, std::vector<std::string>& names);

// Every influence line at the abscissae of the influence-line listing.
CTable InfluenceTable(const CPlaneFrame& frame);
// Circular frequency, frequency and period of the first `modes` modes by ascending frequency.
CTable FrequencyTable(const CPlaneFrame& frame, int modes);
// The node displacements of the first `modes` mode shapes.
CTable ModeShapeTable(const CPlaneFrame& frame, int modes);
// Time, displacement and velocity of one node component from B.tim; false after the message.
bool HistoryTable(const CPlaneFrame& frame, int node, int direction, CTable& table);

// Every table of the model and its results the choice asks for; false after the first
// message (the tables made so far stay in `tables`), or without one when the progress
// reports a stop.
bool AllTables(CPlaneFrame& frame, const CExportChoice& choice, std::vector<CTable>& tables,
               CExportProgress* progress = nullptr);

// Name of the quantity of an envelope (1 N, 2 Q, 3 M), e.g. "弯矩".
const char* QuantityName(int quantity);
// Unit of the quantity: "N" or "N·m".
const char* QuantityUnit(int quantity);

// Runs what the choice needs and the engine does not have yet: the envelope files of its
// live-load types (all three quantities), the combinations of B_组合.txt when asked for,
// and the natural vibration when modes are asked for. False after the message.
bool RunRequestedAnalyses(CPlaneFrame& frame, const CExportChoice& choice);

// The live-load types whose three envelope files exist and are not older than the data
// file (an envelope of an earlier version of the model is not one of this model).
std::vector<int> CurrentEnvelopeTypes(const CPlaneFrame& frame, const std::string& femPath);
// The requested types followed by the current ones not among them.
std::vector<int> MergeTypes(std::vector<int> requested, const std::vector<int>& current);
