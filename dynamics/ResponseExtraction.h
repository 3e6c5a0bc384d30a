// The response file B.tim: its record layout and the extraction of one node component's
// time history into a text file.
#pragma once

#include <string>

class CPlaneFrame;

// Bytes of one record of B.tim for n equations: the time, n displacements, n velocities.
inline long long ResponseRecordBytes(int nDof) {
    return 16LL * nDof + 8;
}

// Number of whole records in the response file of the engine; -1 when it cannot be opened.
long long ResponseRecordCount(const CPlaneFrame& frame);

// The record count of a response file that is whole and this model's: a whole number of
// records of this model's equations, as many as the duration and step of the last run (or
// of the dynamic load file) give, times 0, dt, 2 dt ... to the last record. -1 after the
// message when it is not; 0 (no message) when there is no file.
long long CheckedResponseRecords(const CPlaneFrame& frame);

enum class ExtractResult {
    kWritten,      // the history file was written
    kBadNode,      // node outside 1 ... number of nodes, or direction outside 0 ... 2
    kNoResponse,   // B.tim missing or without a whole record
    kBadResponse,  // B.tim cut short or another model's (reported)
    kCannotWrite,  // the history file could not be written (reported)
};

// Name of the history file of a node (1-based) and direction index (0 x, 1 y, 2 rotation).
std::string ResponseHistoryPath(const CPlaneFrame& frame, int node, int direction);

// Writes time, displacement and velocity of the node's equation in the given direction,
// one line per record of B.tim, to ResponseHistoryPath.
ExtractResult ExtractResponse(const CPlaneFrame& frame, int node, int direction);
