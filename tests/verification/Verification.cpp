// Builds the verification report: benchmark problems with independent references, run
// through the batch tool exactly as a user would, compared with the closed-form values.
//   morvex-verification --cli PATH --source DIR --write FILE   regenerate the report
//   morvex-verification --cli PATH --source DIR --check FILE   fail when a row is out of
//       tolerance or the committed report differs
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "ResultFile.h"
#include "platform/Format.h"
#include "platform/TextFile.h"
#include "tests/dynamics/DynamicsModels.h"

namespace {

struct Row {
    std::string area, problem, quantity, formula;
    double reference = 0, value = 0, tolerance = 0;
    double Deviation() const {
        const double scale = std::fabs(reference) > 0 ? std::fabs(reference) : 1.0;
        return std::fabs(value - reference) / scale;
    }
};

std::string g_cli;
std::string g_source;  // the source tree, for the bundled examples
std::vector<Row> g_rows;

// Runs the batch tool on a model; returns false (and says so) when it fails.
bool Run(const std::string& name, const std::string& model) {
    WriteWholeFile(name + ".fem", model);
    const std::string cmd = g_cli + " run " + name + ".fem > /dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0) {
        std::fprintf(stderr, "verification: %s.fem failed to run\n", name.c_str());
        return false;
    }
    return true;
}

void Add(const char* area, const std::string& problem, const std::string& quantity,
         const std::string& formula, double reference, double value, double tolerance) {
    g_rows.push_back({area, problem, quantity, formula, reference, value, tolerance});
}

constexpr double E = 2.0e11, A = 0.02, I = 4.0e-4;

// A horizontal beam of n equal elements over length L with the section above.
std::string Beam(int n, double L, const std::string& supports, int nSupports, int cases,
                 const std::string& loads) {
    std::string s = FormatString("%d %d 0 1 1 %d %d 0\n1 0 0 0 0\n%d %.6f 0 0 1\n", n + 1, n, cases,
                                 nSupports, n + 1, L);
    s += "1 2.0e11 1.2e-5\n1 0.02 4.0e-4 0 0 0 0\n1 1 2 1 1 1 0\n";
    if (n > 1) AppendFormat(s, "%d %d %d 1 1 1 1\n", n, n, n + 1);
    return s + supports + loads;
}

std::string UniformOnAll(int n, double q) {
    std::string s = FormatString("%d\n", n);
    for (int e = 1; e <= n; ++e) AppendFormat(s, "%d 1 3 100 0 %.6f 0\n", e, q);
    return s;
}

void Statics() {
    const double exact = 2e-6;  // nodal values of these problems are exact; 7 printed digits
    {
        const double L = 6, P = -1e4;
        if (Run("cantilever", Beam(6, L, "1 111\n", 1, 1, "1\n7 1 0 -1e4 0\n0\n"))) {
            CResultFile r;
            r.Load("cantilever.out");
            Add("statics", "cantilever, tip load P, 6 elements", "tip deflection", "P L³ / (3 E I)",
                P * L * L * L / (3 * E * I), r.Displacement(7, 1, 1), exact);
            Add("statics", "cantilever, tip load P, 6 elements", "tip rotation", "P L² / (2 E I)",
                P * L * L / (2 * E * I), r.Displacement(7, 1, 2), exact);
            Add("statics", "cantilever, tip load P, 6 elements", "fixed-end moment reaction",
                "−P L", -P * L, r.Reaction(1, 1, 2), exact);
        }
    }
    {
        const double L = 8, q = -2e4;
        if (Run("fixed", Beam(8, L, "1 111\n9 111\n", 2, 1, "0\n" + UniformOnAll(8, q)))) {
            CResultFile r;
            r.Load("fixed.out");
            Add("statics", "fixed-fixed beam, uniform load q", "mid-span deflection",
                "q L⁴ / (384 E I)", q * std::pow(L, 4) / (384 * E * I), r.Displacement(5, 1, 1),
                exact);
            Add("statics", "fixed-fixed beam, uniform load q", "support moment (hogging +)",
                "−q L² / 12", -q * L * L / 12, r.EndForce(1, 1, 2), exact);
            Add("statics", "fixed-fixed beam, uniform load q", "mid-span moment", "q L² / 24",
                q * L * L / 24, r.EndForce(5, 1, 2), exact);
        }
        if (Run("propped", Beam(8, L, "1 111\n9 10\n", 2, 1, "0\n" + UniformOnAll(8, q)))) {
            CResultFile r;
            r.Load("propped.out");
            Add("statics", "propped cantilever, uniform load q", "roller reaction", "−3 q L / 8",
                -3 * q * L / 8, r.Reaction(2, 1, 1), exact);
            Add("statics", "propped cantilever, uniform load q", "fixed-end moment reaction",
                "−q L² / 8", -q * L * L / 8, r.Reaction(1, 1, 2), exact);
        }
    }
    {
        const double L = 10, P = -1e4;
        if (Run("simple", Beam(2, L, "1 110\n3 10\n", 2, 1, "1\n2 1 0 -1e4 0\n0\n"))) {
            CResultFile r;
            r.Load("simple.out");
            CCaseListing c;
            c.Load("simple_工况_1.out");
            Add("statics", "simply supported beam, central load P", "mid-span deflection",
                "P L³ / (48 E I)", P * L * L * L / (48 * E * I), r.Displacement(2, 1, 1), exact);
            Add("statics", "simply supported beam, central load P", "mid-span moment (sagging −)",
                "P L / 4", P * L / 4, c.At(1, 10)[2], exact);
        }
    }
    {
        const double L = 10, q = -1e4;
        if (Run("twospan",
                Beam(20, 2 * L, "1 110\n11 10\n21 10\n", 3, 1, "0\n" + UniformOnAll(20, q)))) {
            CResultFile r;
            r.Load("twospan.out");
            Add("statics", "two equal spans, uniform load q", "middle reaction", "−5 q L / 4",
                -5 * q * L / 4, r.Reaction(2, 1, 1), exact);
            Add("statics", "two equal spans, uniform load q", "end reaction", "−3 q L / 8",
                -3 * q * L / 8, r.Reaction(1, 1, 1), exact);
            Add("statics", "two equal spans, uniform load q", "moment over the middle support",
                "−q L² / 8", -q * L * L / 8, r.EndForce(11, 1, 2), exact);
        }
    }
    {
        const double L = 6, d = 0.01;
        if (Run("settle", Beam(3, L, "1 111\n4 111 0 0.01 0\n", 2, 1, "0\n0\n"))) {
            CResultFile r;
            r.Load("settle.out");
            Add("statics", "fixed-fixed beam, settlement Δ of one end", "end moment reaction",
                "6 E I Δ / L²", 6 * E * I * d / (L * L), std::fabs(r.Reaction(1, 1, 2)), exact);
            Add("statics", "fixed-fixed beam, settlement Δ of one end", "end shear reaction",
                "12 E I Δ / L³", 12 * E * I * d / (L * L * L), std::fabs(r.Reaction(1, 1, 1)),
                exact);
        }
    }
    {
        const double alpha = 1.2e-5, h = std::sqrt(12 * I / A);
        if (Run("thermal", Beam(2, 6, "1 111\n3 111\n", 2, 2,
                                "0\n4\n1 1 7 30 30\n2 1 7 30 30\n1 2 7 10 -10\n2 2 7 10 -10\n"))) {
            CCaseListing c1, c2;
            c1.Load("thermal_工况_1.out");
            c2.Load("thermal_工况_2.out");
            Add("statics", "member held at both ends, uniform warming t", "axial force", "−α E A t",
                -alpha * E * A * 30, c1.At(2, 5)[0], exact);
            Add("statics", "member held at both ends, gradient t₁ − t₂ (top warmer)",
                "moment (top in compression)", "−α E I (t₁ − t₂) / h", -alpha * E * I * 20 / h,
                c2.At(1, 5)[2], exact);
        }
    }
    {
        // Constant width 0.5, depth 0.8 -> 1.2: the exact restrained axial force.
        const std::string model =
            "2 1 0 1 2 1 2 0\n1 0 0\n2 6 0\n1 3e10 1e-5\n"
            "1 0.4 0.0053333333333333333 0 0 0.4 0.4\n2 0.6 0.018 0 0 0.6 0.6\n"
            "1 1 2 1 2 1\n1 111\n2 111\n0\n1\n1 1 7 20 20\n";
        if (Run("taper", model)) {
            CCaseListing c;
            c.Load("taper_工况_1.out");
            Add("statics", "tapered rectangle held at both ends, uniform warming t", "axial force",
                "−α E t (A_j − A_i) / ln(A_j / A_i)",
                -1e-5 * 3e10 * 20 * (0.6 - 0.4) / std::log(0.6 / 0.4), c.At(1, 5)[0], exact);
        }
    }
}

// Output of a batch-tool command other than run, in the working directory.
bool RunCommand(const std::string& args, std::string* output = nullptr) {
    const std::string cmd = g_cli + " " + args + " > cmd_out.txt 2>/dev/null";
    const bool ok = std::system(cmd.c_str()) == 0;
    if (output) ReadWholeFile("cmd_out.txt", *output);
    if (!ok) std::fprintf(stderr, "verification: morvex-cli %s failed\n", args.c_str());
    return ok;
}

// Rows of numbers of a text file (lines that hold at least `columns` numbers).
std::vector<std::vector<double>> NumberRows(const std::string& path, size_t columns) {
    std::string text;
    ReadWholeFile(path, text);
    std::vector<std::vector<double>> rows;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        std::vector<double> v;
        const char* p = line.c_str();
        char* q = nullptr;
        for (double x = std::strtod(p, &q); q != p; x = std::strtod(p, &q)) {
            v.push_back(x);
            p = q;
        }
        if (v.size() >= columns) rows.push_back(v);
    }
    return rows;
}

// Two equal spans L = 10 m of 10 elements each, simply supported at 0, L, 2L, loading path
// over both spans; E I = 2e11 x 4e-4.
std::string TwoSpanBeam(const std::string& lines, int count) {
    return FormatString(
               "21 20 0 1 1 0 3 20\n1 0 0\n21 20 0 0 1\n1 2.0e11\n"
               "1 0.02 4.0e-4 78500 0 0 0\n1 1 2 1 1 1\n20 20 21 1 1 1 1\n"
               "1 110\n11 10\n21 10\n1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20\n"
               "%d\n",
               count) +
           lines;
}

void InfluenceLines() {
    const double L = 10, a = 5;
    if (!Run("il", TwoSpanBeam("10 1.0 3\n5 1.0 3\n5 1.0 5\n", 3))) return;
    auto at = [](int line, double x) {
        RunCommand(FormatString("influence il.fem --line %d", line));
        for (const auto& r : NumberRows(FormatString("il_影响线数据%d.out", line), 2))
            if (std::fabs(r[0] - x) < 1e-9) return r[1];
        return std::nan("");
    };
    const char* problem = "two equal spans L, unit upward load at mid-span of span 1";
    Add("influence lines", problem, "moment over the middle support (hogging +)",
        "−a (L² − a²) / (4 L²)", -a * (L * L - a * a) / (4 * L * L), at(1, a), 2e-6);
    Add("influence lines", problem, "moment at the load", "a/2 − a (L² − a²) / (8 L²)",
        a / 2 - a * (L * L - a * a) / (8 * L * L), at(2, a), 2e-6);
    Add("influence lines", problem, "deflection at the load (reciprocity)", "23 L³ / (1536 E I)",
        23 * L * L * L / (1536 * E * I), at(3, a), 2e-6);
}

void Envelopes() {
    const double L = 10, q = -1000;  // the crowd load, 1 kN/m downward where it makes the worst
    if (!Run("crowd", TwoSpanBeam("", 0)) ||
        !RunCommand("envelope crowd.fem --type 0 --quantity 3"))
        return;
    // Element e (1-based) point j (0 ... 10) of the text envelope: rows of position, max, min
    // after each element number.
    const auto rows = NumberRows("crowd_弯矩包络图数据_人群荷载.out", 3);
    auto value = [&](int e, int j, int column) {
        const size_t i = static_cast<size_t>(11 * (e - 1) + j);
        return i < rows.size() ? rows[i][column] : std::nan("");
    };
    const char* problem = "two equal spans L, crowd load 1 kN/m";
    // The crowd is summed over the 0.1 m sampling grid of the loading path: the tolerance is
    // that of the quadrature, not of the printed digits.
    Add("envelopes", problem, "largest hogging moment over the middle support",
        "−q L² / 8 (both spans loaded)", -q * L * L / 8, value(10, 10, 1), 2e-4);
    Add("envelopes", problem, "largest sagging moment at mid-span of span 1",
        "3 q L² / 32 (span 1 loaded)", 3 * q * L * L / 32, value(5, 10, 2), 2e-4);
}

void Vibration() {
    const double rhoA = 78500 * 0.02 / 9.8, L = 20;
    const std::string beam = FormatString(
        "21 20 0 1 1 0 2 0\n1 0 0\n21 %.1f 0 0 1\n1 2.0e11\n1 0.02 4.0e-4 78500 0 0 0\n"
        "1 1 2 1 1 1\n20 20 21 1 1 1 1\n1 110\n21 10\n",
        L);
    std::string out;
    if (Run("ssbeam", beam) && RunCommand("modes ssbeam.fem", &out)) {
        const double pi = 3.141592653589793;
        // The first lines are bending modes; the axial ones are far higher.
        const double exact1 = pi * pi / (L * L) * std::sqrt(E * I / rhoA);
        const double exact2 = 4 * exact1;
        const std::string words = "频率";
        auto omega = [&](int k) {
            const size_t at = out.find(FormatString("频率%d：", k));
            return at == std::string::npos
                       ? std::nan("")
                       : std::strtod(out.c_str() + at + words.size() + 4, nullptr);
        };
        // The batch tool prints frequencies to five digits.
        Add("frequencies", "simply supported beam, 20 elements", "first circular frequency",
            "(π/L)² √(E I / m)", exact1, omega(1), 5e-5);
        Add("frequencies", "simply supported beam, 20 elements", "second circular frequency",
            "(2π/L)² √(E I / m)", exact2, omega(2), 1e-4);
    }
    // A 100 m beam (E I = 2e9 N·m², 1000 kg/m) in 3000 elements: the assembled stiffness
    // alone rounds the first frequency 3.4e-4 low (1.3953); the refinement against the
    // elements' own forces restores it.
    const std::string fine =
        "3001 3000 0 1 1 0 2 0\n1 0 0\n3001 100 0 0 1\n1 2.0e11\n1 1 0.01 9800 0 0 0\n"
        "1 1 2 1 1 1\n3000 3000 3001 1 1 1 1\n1 110\n3001 10\n";
    if (Run("finebeam", fine) && RunCommand("modes finebeam.fem --count 2", &out)) {
        const double pi = 3.141592653589793;
        const double exact1 = pi * pi / (100.0 * 100.0) * std::sqrt(2.0e11 * 0.01 / 1000);
        const size_t at = out.find("频率1：");
        const double first = at == std::string::npos
                                 ? std::nan("")
                                 : std::strtod(out.c_str() + at + std::string("频率1：").size(),
                                               nullptr);
        Add("frequencies", "100 m simply supported beam, 3000 elements (9000 equations)",
            "first circular frequency", "(π/L)² √(E I / m)", exact1, first, 5e-5);
    }
    // A vertical bar fixed at its foot: the axial tip motion is one degree of freedom with
    // stiffness E A / h and consistent mass m h / 3, whatever the bending does.
    const double h = 5, k = E * A / h, m = rhoA * h / 3, w = std::sqrt(k / m);
    const std::string bar =
        "2 1 0 1 1 0 1 0\n1 0 0\n2 0 5\n1 2.0e11\n1 0.02 4.0e-4 78500 0 0 0\n1 1 2 1 1 1\n1 111\n";
    if (!Run("bar", bar)) return;
    const double period = 2 * 3.141592653589793 / w, dt = period / 40;
    auto response = [&](const std::string& loads) {
        WriteWholeFile("dynamic_load.txt",
                       FormatString("0 0\n%.17g %.17g\n", 2 * period, dt) + loads);
        std::vector<std::vector<double>> rows;
        if (RunCommand("dynamic bar.fem") && RunCommand("extract bar.fem --node 2 --dof 2"))
            rows = NumberRows("bar_节点2自由度2_动力响应.txt", 3);
        return rows;
    };
    const double u0 = 1e-4, F = -1e5;
    const auto freeRows = response(FormatString("0 0 0\n1\n2 2 %.17g 0\n", u0));
    const auto forcedRows = response(FormatString("0 1 0\n2 2 %.17g 0 0 0 0\n0\n", F));
    auto row = [](const std::vector<std::vector<double>>& rows, size_t i, int c) {
        return i < rows.size() ? rows[i][c] : std::nan("");
    };
    const char* problem = "bar fixed at its foot, axial tip motion (ω² = 3 E / (ρ h²))";
    Add("free vibration", problem, "tip displacement after 3/8 period, u₀ at rest", "u₀ cos(ω t)",
        u0 * std::cos(w * 15 * dt), row(freeRows, 15, 1), 2e-6);
    Add("free vibration", problem, "tip velocity after 3/8 period", "−u₀ ω sin(ω t)",
        -u0 * w * std::sin(w * 15 * dt), row(freeRows, 15, 2), 2e-6);
    Add("forced vibration", problem, "tip displacement half a period after a sudden load F",
        "2 F / k (dynamic factor 2)", 2 * F / k, row(forcedRows, 20, 1), 2e-6);
    Add("forced vibration", problem, "tip displacement after 3/8 period", "F/k (1 − cos ω t)",
        F / k * (1 - std::cos(w * 15 * dt)), row(forcedRows, 15, 1), 2e-6);
}

// Several degrees of freedom (Rayleigh damping 0.5 M + 2e-4 K): the mid-span peaks of the
// response at the usual step against the reference integration (the exponential of the
// whole system) at a step 100 times finer.
void MultiModeResponse() {
    BeamData beam;
    beam.length = 20;
    beam.elements = 10;
    beam.loadingPath = true;
    BeamData two;
    two.length = 40;
    two.elements = 12;
    std::string twoSpan = BeamModel(two);
    twoSpan.replace(0, twoSpan.find('\n'), "13 12 0 1 1 0 3 0");
    twoSpan += "7 010 0 0 0\n";
    if (!Run("beam10", BeamModel(beam)) || !Run("twospan", twoSpan)) return;
    // Time, displacement and velocity of node N, y, at every record.
    auto history = [](const std::string& model, int node, double dt, const std::string& records,
                      const char* method) {
        std::vector<std::vector<double>> rows;
        WriteWholeFile("dynamic_load.txt", FormatString("0.5 2e-4\n2 %.17g\n", dt) + records);
        if (RunCommand(FormatString("dynamic %s.fem --method %s", model.c_str(), method)) &&
            RunCommand(FormatString("extract %s.fem --node %d --dof 2", model.c_str(), node)))
            rows =
                NumberRows(FormatString("%s_节点%d自由度2_动力响应.txt", model.c_str(), node), 3);
        return rows;
    };
    struct Case {
        const char* problem;
        const char* model;
        int node;
        const char* records;
    } cases[] = {
        {"10-element simply supported beam, 100 kN moving at 20 m/s", "beam10", 6,
         "1 0 0\n0 20 -1e5 0 0 0 0\n0\n"},
        {"10-element simply supported beam, 10 kN harmonic at mid-span (20 rad/s)", "beam10", 6,
         "0 1 0\n6 2 -1e4 1 20 0.3 0\n0\n"},
        {"two-span beam, middle support settles 10 mm at t = 0", "twospan", 4,
         "0 0 1\n7 2 -0.01 0 0 0\n0\n"},
    };
    // Reported as the reference's peak and that peak plus the largest deviation at the
    // coarse records, so that the relative error is the deviation against the peak.
    for (const Case& c : cases) {
        const auto fine = history(c.model, c.node, 0.0001, c.records, "full");
        const auto coarse = history(c.model, c.node, 0.01, c.records, "modal");
        double peak[2] = {0, 0}, dev[2] = {std::nan(""), std::nan("")};
        if (!coarse.empty() && fine.size() == 100 * (coarse.size() - 1) + 1) {
            dev[0] = dev[1] = 0;
            for (size_t i = 0; i < coarse.size(); ++i)
                for (int k = 0; k < 2; ++k) {
                    peak[k] = std::max(peak[k], std::fabs(fine[100 * i][k + 1]));
                    dev[k] = std::max(dev[k], std::fabs(coarse[i][k + 1] - fine[100 * i][k + 1]));
                }
        }
        Add("forced vibration", c.problem, "mid-span displacement at the Δt = 0.01 s records",
            "peak of full exponential, Δt = 0.0001 s (value: + largest deviation)", peak[0],
            peak[0] + dev[0], 1e-2);
        Add("forced vibration", c.problem, "mid-span velocity at the Δt = 0.01 s records",
            "peak of full exponential, Δt = 0.0001 s (value: + largest deviation)", peak[1],
            peak[1] + dev[1], 1e-2);
    }
}

// The bundled girder: the vertical reactions of each loaded case against the loads, summed
// here from the section outlines worked out by hand (rectangles) and the geometry.
void Equilibrium() {
    std::string model;
    if (!ReadWholeFile(g_source + "/examples/three_span_girder.fem", model) ||
        !Run("girder", model))
        return;
    CResultFile r;
    r.Load("girder.out");
    // Box sections as rectangles: area and depth of the centroid below the top face.
    const double a1 = 12 * 0.25 + 1.0 * 1.5 + 6 * 0.25;
    const double c1 = (12 * 0.25 * 0.125 + 1.0 * 1.5 * 1.0 + 6 * 0.25 * 1.875) / a1;
    const double a2 = 12 * 0.3 + 1.2 * 2.3 + 6 * 0.4;
    const double c2 = (12 * 0.3 * 0.15 + 1.2 * 2.3 * 1.45 + 6 * 0.4 * 2.8) / a2;
    double weight = 0, length = 0;
    for (int e = 0; e < 20; ++e) {
        // Elements 6, 7, 14, 15 (1-based) run between a span section and a pier section.
        const bool toPier = e == 5 || e == 13, fromPier = e == 6 || e == 14;
        const double ai = fromPier ? a2 : a1, aj = toPier ? a2 : a1;
        const double yi = fromPier ? -c2 : -c1, yj = toPier ? -c2 : -c1;
        const double L = std::hypot(5.0, yj - yi);
        weight += 26000 * (ai + aj) / 2 * L;
        length += L;
    }
    double sum1 = 0, sum3 = 0;
    for (int s = 1; s <= r.SupportCount(); ++s) {
        sum1 += r.Reaction(s, 1, 1);
        sum3 += r.Reaction(s, 3, 1);
    }
    Add("statics", "bundled three-span girder, self-weight", "sum of vertical reactions",
        "weight of the deck", weight, sum1, 2e-6);
    Add("statics", "bundled three-span girder, 30 kN/m + 500 kN", "sum of vertical reactions",
        "applied load", 30000 * length + 500000, sum3, 2e-6);
}

// Two spans of 20 m with 6 m haunches (I 1 -> 2.5) over the middle support, the haunches as
// one element each or as `pieces` elements each; lines of M and Q at x = 17 m.
std::string HaunchedBeam(int pieces) {
    std::vector<double> x;
    for (int k = 0; k <= 7; ++k) x.push_back(2.0 * k);
    for (int k = 1; k <= pieces; ++k) x.push_back(14 + 6.0 * k / pieces);
    for (int k = 1; k <= pieces; ++k) x.push_back(20 + 6.0 * k / pieces);
    for (int k = 1; k <= 7; ++k) x.push_back(26 + 2.0 * k);
    const int nodes = static_cast<int>(x.size()), elements = nodes - 1;
    std::string m = FormatString("%d %d 0 1 %d 0 3 %d\n", nodes, elements, nodes, elements);
    for (int n = 0; n < nodes; ++n) AppendFormat(m, "%d %.17g 0\n", n + 1, x[n]);
    m += "1 3.45e10\n";
    for (int n = 0; n < nodes; ++n) {
        const double d = std::fabs(x[n] - 20);
        AppendFormat(m, "%d 6 %.17g 0 0 1 1\n", n + 1, d >= 6 ? 0.4 : 0.4 * (1 + 1.5 * (6 - d) / 6));
    }
    int at17 = 0, middle = 0;
    for (int e = 0; e < elements; ++e) {
        AppendFormat(m, "%d %d %d %d %d 1\n", e + 1, e + 1, e + 2, e + 1, e + 2);
        if (x[e] <= 17 && 17 < x[e + 1]) at17 = e;
    }
    while (x[middle] < 20) ++middle;
    AppendFormat(m, "1 110\n%d 010\n%d 010\n", middle + 1, nodes);
    for (int e = 1; e <= elements; ++e) AppendFormat(m, "%d ", e);
    const double position = (17 - x[at17]) / (x[at17 + 1] - x[at17]);
    AppendFormat(m, "\n2\n%d %.17g 3\n%d %.17g 2\n", at17 + 1, position, at17 + 1, position);
    return m;
}

// Ordinates of line `line` of a model as the influence-line listing gives them.
std::vector<std::vector<double>> Listing(const std::string& name, int line) {
    if (!RunCommand(FormatString("influence %s.fem --line %d", name.c_str(), line))) return {};
    return NumberRows(FormatString("%s_影响线数据%d.out", name.c_str(), line), 2);
}

void TaperedAndInclinedLines() {
    if (Run("haunch1", HaunchedBeam(1)) && Run("haunch40", HaunchedBeam(40))) {
        const char* const names[2] = {"moment", "shear"};
        for (int line = 1; line <= 2; ++line) {
            const auto coarse = Listing("haunch1", line), fine = Listing("haunch40", line);
            // The largest ordinate of the subdivided haunch, off the shear line's jump.
            size_t at = 0;
            for (size_t i = 0; i < fine.size() && i < coarse.size(); ++i)
                if (std::fabs(fine[i][0] - 17) > 0.05 &&
                    std::fabs(fine[i][1]) > std::fabs(fine[at][1]))
                    at = i;
            const bool ok = at < coarse.size() && at < fine.size();
            Add("influence lines",
                "two 20 m spans, 6 m haunches I × 2.5 as one element, section at 17 m",
                FormatString("%s line at its largest ordinate (x = %.1f m)", names[line - 1],
                             ok ? fine[at][0] : 0.0),
                "the haunches in 40 elements each", ok ? fine[at][1] : std::nan(""),
                ok ? coarse[at][1] : std::nan(""), 3e-3);
        }
    }
    // An inclined simple span: 12 m across, rising 0.4 per metre, pinned at the foot and on a
    // roller at the top; the section at the foot carries the left reaction R = −(1 − x / L).
    if (Run("inclined", "5 4 0 1 1 0 2 4\n1 0 0\n2 3 1.2\n3 6 2.4\n4 9 3.6\n5 12 4.8\n1 2e11\n"
                        "1 0.02 1e-4 0 0 0.1 0.1\n1 1 2 1 1 1\n2 2 3 1 1 1\n3 3 4 1 1 1\n"
                        "4 4 5 1 1 1\n1 110\n5 010\n1 2 3 4\n2\n1 0 2\n1 0 1\n")) {
        const double c = 1 / std::sqrt(1.16), s = 0.4 / std::sqrt(1.16), x = 4.3, R = -(1 - x / 12);
        auto at = [&](int line) {
            for (const auto& r : Listing("inclined", line))
                if (std::fabs(r[0] - x) < 1e-9) return r[1];
            return std::nan("");
        };
        const char* problem = "inclined simple span 12 m, rise 0.4 per metre, unit load at 4.3 m";
        Add("influence lines", problem, "shear at the foot", "c R, R = −(1 − x / L)", c * R, at(1),
            2e-6);
        Add("influence lines", problem, "axial force at the foot", "−s R", -s * R, at(2), 2e-6);
    }
}

void OverhangEnvelope() {
    // A 30 m span with a 3 m overhang to the left (free end at x = 0, support at 3 m), 挂车—80
    // (four 200 kN axles at 0, 1.2, 5.2 and 6.4 m): the shear at a section of the overhang is
    // −200 kN for every axle between the free end and the section, ends included.
    std::string m = "18 17 0 1 1 0 2 17\n1 0 0\n2 1.5 0\n3 3 0 0 0\n18 33 0 0 1\n1 2.06e11\n"
                    "1 0.0123456 1.234567e-5 0 0 0.2 0.2\n";
    for (int e = 1; e <= 17; ++e) AppendFormat(m, "%d %d %d 1 1 1\n", e, e, e + 1);
    m += "3 110\n18 010\n1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17\n0\n";
    if (!Run("overhang", m) || !RunCommand("envelope overhang.fem --type 6 --quantity 2")) return;
    const auto rows = NumberRows("overhang_剪力包络图数据_挂车80.out", 3);
    auto minimum = [&](int j) { return j < static_cast<int>(rows.size()) ? rows[j][2] : std::nan(""); };
    const char* problem = "3 m overhang, 挂车—80 (axles 1.2 m apart), shear";
    Add("envelopes", problem, "at 1.2 m from the free end", "brute force: two axles", -400000,
        minimum(8), 2e-6);
    Add("envelopes", problem, "at the free end", "brute force: one axle", -200000, minimum(0),
        2e-6);
}

void FineMesh() {
    // 100 m simply supported under its self-weight w = 12.5 kN/m in 10,000 elements.
    const int n = 10000;
    const std::string m = FormatString(
        "%d %d 0 1 1 1 2 0\n1 0 0 0 0\n%d 100 0 0 1\n1 3.45e10\n1 0.5 0.2 25000 0 0.5 0.5\n"
        "1 1 2 1 1 1 0\n%d %d %d 1 1 1 1\n1 110\n%d 010\n0\n1\n1 1 0 0 0 0 0\n",
        n + 1, n, n + 1, n, n, n + 1, n + 1);
    if (!Run("fine", m)) return;
    CResultFile r;
    r.Load("fine.out");
    const double w = 12500, L = 100, EI = 3.45e10 * 0.2;
    const char* problem = "simply supported 100 m, self-weight, 10,000 elements";
    Add("statics", problem, "mid-span deflection", "5 w L⁴ / (384 E I)",
        -5 * w * std::pow(L, 4) / (384 * EI), r.Displacement(n / 2 + 1, 1, 1), 1e-4);
    Add("statics", problem, "sum of vertical reactions", "w L",
        w * L, r.Reaction(1, 1, 1) + r.Reaction(2, 1, 1), 1e-6);
}

std::string Report() {
    std::string s =
        "# Verification\n\n"
        "Benchmark problems with independent references (closed-form textbook results,\n"
        "equilibrium), each run through `morvex-cli` as a user would and read back from the\n"
        "files it writes. Generated by `scripts/verification`; a test regenerates it and fails\n"
        "when a row leaves its tolerance or the table differs from this file.\n\n"
        "Deviation is |Morvex − reference| / |reference|. The result files print seven\n"
        "significant digits, so 2e-6 is the tolerance of results the method gives exactly\n"
        "(nodal values of beam elements, influence lines, the precise integration of a single\n"
        "degree of freedom). Wider tolerances belong to a discretisation: the envelope sums the\n"
        "crowd over the 0.1 m grid of the loading path, and the frequencies converge from\n"
        "above as the mesh is refined (and are printed to five digits).\n\n"
        "| area | problem | quantity | reference | reference value | Morvex | deviation | "
        "tolerance |\n"
        "|---|---|---|---|---:|---:|---:|---:|\n";
    for (const Row& r : g_rows)
        AppendFormat(s, "| %s | %s | %s | %s | %.7g | %.7g | %.2g | %.0g |\n", r.area.c_str(),
                     r.problem.c_str(), r.quantity.c_str(), r.formula.c_str(), r.reference, r.value,
                     r.Deviation(), r.tolerance);
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    std::string write, check;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--cli") == 0) g_cli = std::filesystem::absolute(argv[i + 1]);
        if (std::strcmp(argv[i], "--write") == 0) write = std::filesystem::absolute(argv[i + 1]);
        if (std::strcmp(argv[i], "--check") == 0) check = std::filesystem::absolute(argv[i + 1]);
        if (std::strcmp(argv[i], "--source") == 0)
            g_source = std::filesystem::absolute(argv[i + 1]);
    }
    if (g_cli.empty() || g_source.empty() || (write.empty() && check.empty())) {
        std::fputs(
            "usage: morvex-verification --cli PATH --source DIR (--write FILE | --check FILE)\n",
            stderr);
        return 2;
    }
    const auto dir = std::filesystem::temp_directory_path() /
                     ("morvex_verification_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    Statics();
    FineMesh();
    Equilibrium();
    InfluenceLines();
    TaperedAndInclinedLines();
    Envelopes();
    OverhangEnvelope();
    Vibration();
    MultiModeResponse();
    std::filesystem::current_path(dir.parent_path());
    std::filesystem::remove_all(dir);

    int bad = 0;
    for (const Row& r : g_rows) {
        if (!(r.Deviation() <= r.tolerance)) {
            std::fprintf(stderr, "out of tolerance: %s / %s: %.6e vs %.6e\n", r.problem.c_str(),
                         r.quantity.c_str(), r.value, r.reference);
            ++bad;
        }
    }
    const std::string report = Report();
    if (!write.empty()) WriteWholeFile(write, report);
    if (!check.empty()) {
        std::string committed;
        ReadWholeFile(check, committed);
        if (committed != report) {
            std::fprintf(stderr, "%s is not the generated report; run scripts/verification\n",
                         check.c_str());
            ++bad;
        }
    }
    std::printf("%zu rows, %d problem(s)\n", g_rows.size(), bad);
    return bad == 0 ? 0 : 1;
}
