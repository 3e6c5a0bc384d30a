// The response file B.tim: its record layout and the extraction of one node component's
// time history into a text file.
#pragma once

#include <functional>
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

// --- histories derived from B.tim (ResponseHistories.cpp) ---

// Whether the engine holds a dynamic run (ReadDynamicRun or DynamicResponse): its run codes,
// excitations and matrices, which the accelerations need.
bool HoldsDynamicRun(const CPlaneFrame& frame);

// Visits the first count records of B.tim with the acceleration of every equation: on the
// free equations of the run from the equations of motion, M a = F(t) - C v - K u (exact for
// the response the integration wrote, whose load is linear between steps); on a prescribed
// equation its motion's; 0 at a support. The engine must hold the run. Stops when visit
// returns false; false then, or after the message when the file or the memory fails.
bool VisitAccelerations(const CPlaneFrame& frame, long long count,
                        const std::function<bool(long long, double, const double*)>& visit);

// N, Q, M at relative position xi (0 at the i end) of an element from a displacement vector:
// the forces of the displaced element, without loads between its nodes.
void ResponseForces(const CPlaneFrame& frame, int element, double xi, const double* displacements,
                    double& N, double& Q, double& M);

// Name of the acceleration history of a node (1-based) and direction index.
std::string AccelerationHistoryPath(const CPlaneFrame& frame, int node, int direction);
// Name of the internal-force history of an element (1-based) and point (1 ... 11).
std::string ForceHistoryPath(const CPlaneFrame& frame, int element, int point);

// Writes time and acceleration of a node's direction, one line per record; kNoResponse also
// when the engine holds no run.
ExtractResult ExtractAcceleration(const CPlaneFrame& frame, int node, int direction);
// Writes time, N, Q and M at point 1 ... 11 (relative position 0, 0.1 ... 1) of an element;
// kBadNode for an element or point out of range.
ExtractResult ExtractForces(const CPlaneFrame& frame, int element, int point);
