// Load combinations: the combination file, the combined envelope, its two result files and
// their companion files of concurrent forces.
//
// Combination file (plain text, UTF-8, beside the data file; default B + "_组合.txt"):
//   - Everything from '#' to the end of a line is a comment; blank lines are skipped; a BOM
//     and "\r\n" line ends are accepted. Fields are separated by blanks.
//   - "组合 NAME" starts a combination. NAME is one word (no blanks, none of / \ : * ? " < > |)
//     and unique in the file; it names the result files.
//   - "工况 K GU GF [psi=X]": static load case K (1-based) with the factor GU where its effect
//     is unfavourable and GF where it is favourable, times the companion factor X (default 1).
//   - "活载 T G [psi=X] [impact=auto|F|mu=X] [lanes=N] [distribution=X] [span=L0]": the
//     envelope of live-load type T (0 ... 13) times G (and X) where it is unfavourable, 0
//     where it would be favourable. The design options apply to types 11 ... 13 and mean
//     what the options of the envelope command mean.
//   Every combination needs at least one term; factors are finite and not negative.
//
// Combined envelope, for every element in model order and its 11 points xi = 0, 0.1 ... 1,
// and for each effect N, Q, M: the largest and the smallest combined value. At each point
// and for each effect every static term takes GU or GF by the sign of its own value (GU
// where it adds to the extreme sought), every live term the maximum (for the largest) or
// the minimum (for the smallest) of its envelope where that has the unfavourable sign.
//
// Binary file B + "_组合_" + NAME + ".bin" (little-endian IEEE doubles, no header): per
// element, per point, six doubles N max, N min, Q max, Q min, M max, M min; 528 bytes per
// element. Text file B + "_组合_" + NAME + ".out": the title "荷载组合: NAME", one line
// per term, then per element "\n\n%5d" and per point "\n%10.2f" followed by the six
// values as " %15.6e".
//
// Concurrent forces (companion files, new beside the two above, which keep their layout):
// for each of the six extremes of a point, the N, Q, M of the combined state that gives it.
// In that state every static term carries the factor chosen for that extreme (GU where its
// own value of the effect is unfavourable, GF where favourable or zero) on all three of its
// forces, and every live term that adds to the extreme stands where its envelope found that
// extreme, with the forces its envelope's companion file gives (unrounded), times G·psi; a
// live term that would be favourable is absent. The column of the effect itself is the
// combined extreme. Binary file B + "_组合同时内力_" + NAME + ".bin" (little-endian doubles,
// no header): per element, per point, for N max, N min, Q max, Q min, M max, M min three
// doubles N, Q, M; 18 doubles, 1584 bytes per element. Text file
// B + "_组合同时内力_" + NAME + ".out": the title "荷载组合同时内力: NAME", the term lines,
// then per element "\n\n%5d", per point six lines: the first "\n%15.6lf  " with the
// position, the others "\n%15s  " with blanks, then the extreme's name ("轴力最大" …
// "弯矩最小") and N, Q, M as " %15.6e".
#pragma once

#include <string>
#include <vector>

#include "liveload/DesignLoads.h"

// One term of a combination.
struct CombinationTerm {
    bool live = false;
    int number = 0;  // load case (1-based) or live-load type
    double unfavourable = 1, favourable = 1, psi = 1;
    DesignLoadOptions design;
    int line = 0;  // line in the file
};

struct Combination {
    std::string name;
    std::vector<CombinationTerm> terms;
    int line = 0;
};

// Reads a combination file for a model with `cases` load cases; false after the message
// "错误：组合文件…有误!" with the line and what is wrong as its detail.
bool ReadCombinationFile(const std::string& path, int cases, std::vector<Combination>& out);

inline constexpr int kCombinationValues = 6;  // per point: N, Q, M, each max then min
// Per point in the concurrent-force binary file: six extremes times N, Q, M.
inline constexpr int kCombinationConcurrentValues = 18;
// Size in bytes of the binary combination file of a model with this many elements.
inline long long CombinationFileSize(int elements) {
    return 8LL * 11 * kCombinationValues * elements;
}
// One term's description as the text file states it.
std::string DescribeTerm(const CombinationTerm& t);

class CPlaneFrame;
struct EnvelopeData;
// One quantity (1 N, 2 Q, 3 M) of the binary file of combination `name`, as an envelope
// with its overall extremes (the first of equal values keeps them); false after the message
// "荷载组合数据文件:…不存在！" or "…不完整！".
bool ReadCombinationEnvelope(const CPlaneFrame& frame, const std::string& name, int quantity,
                             EnvelopeData& data);
// Names of the combinations whose binary files lie beside the data file, sorted.
std::vector<std::string> CombinationNamesOnDisk(const CPlaneFrame& frame);
