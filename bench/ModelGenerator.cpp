#include "ModelGenerator.h"

#include "platform/Format.h"

std::string GirderModel(int spans, int perSpan, int cases) {
    const int elements = spans * perSpan, nodes = elements + 1;
    const double step = 30.0 / perSpan;
    std::string s;
    AppendFormat(s, "generated continuous girder, %d spans\n", spans);
    AppendFormat(s, "%d %d 0 1 1 %d %d 0\n", nodes, elements, cases, spans + 1);
    for (int n = 1; n <= nodes; ++n) AppendFormat(s, "%d %.4f 0 1 0\n", n, (n - 1) * step);
    s += "1 3.45e10 1e-5\n1 6.0 3.4 26000 0 0.8 1.2\n";
    for (int e = 1; e <= elements; ++e) AppendFormat(s, "%d %d %d 1 1 1 0\n", e, e, e + 1);
    for (int k = 0; k <= spans; ++k)
        AppendFormat(s, "%d %d 0 0 0\n", k * perSpan + 1, k == 0 ? 110 : 10);
    if (cases > 0) {
        AppendFormat(s, "%d\n", cases - 1);
        for (int c = 2; c <= cases; ++c)
            AppendFormat(s, "%d %d 0 -100000 0\n", 1 + (c * 7919) % nodes, c);
        AppendFormat(s, "%d\n", 1 + (cases - 1) * perSpan);
        s += "1 1 0\n";
        for (int c = 2; c <= cases; ++c) {
            const int span = (c * 31) % spans;
            for (int e = 1; e <= perSpan; ++e)
                AppendFormat(s, "%d %d 4 %.4f 0 -20000\n", span * perSpan + e, c, step);
        }
    }
    return s;
}

std::string FrameModel(int storeys, int bays, int cases) {
    const int perFloor = bays + 1;
    const int nodes = perFloor * (storeys + 1);
    const int columns = perFloor * storeys, beams = bays * storeys;
    std::string s;
    AppendFormat(s, "generated frame, %d storeys x %d bays\n", storeys, bays);
    AppendFormat(s, "%d %d 0 1 2 %d %d 0\n", nodes, columns + beams, cases, perFloor);
    for (int f = 0; f <= storeys; ++f)
        for (int b = 0; b <= bays; ++b)
            AppendFormat(s, "%d %.1f %.1f 0 0\n", f * perFloor + b + 1, 6.0 * b, 3.5 * f);
    s += "1 3.25e10 1e-5\n1 0.36 0.0108 25000 0 0.3 0.3\n2 0.24 0.0072 25000 0 0.3 0.3\n";
    int e = 0;
    for (int f = 0; f < storeys; ++f) {
        for (int b = 0; b <= bays; ++b) {
            const int i = f * perFloor + b + 1;
            AppendFormat(s, "%d %d %d 1 1 1 0\n", ++e, i, i + perFloor);
        }
        for (int b = 0; b < bays; ++b) {
            const int i = (f + 1) * perFloor + b + 1;
            AppendFormat(s, "%d %d %d 2 2 1 0\n", ++e, i, i + 1);
        }
    }
    for (int b = 1; b <= perFloor; ++b) AppendFormat(s, "%d 111 0 0 0\n", b);
    if (cases > 0) {
        AppendFormat(s, "%d\n", (cases - 1) * storeys);
        for (int c = 2; c <= cases; ++c)
            for (int f = 1; f <= storeys; ++f)
                AppendFormat(s, "%d %d %d 0 0\n", f * perFloor + 1, c, 5000 + 100 * c);
        AppendFormat(s, "%d\n", 1 + (cases - 1) * bays);
        s += "1 1 0\n";
        for (int c = 2; c <= cases; ++c) {
            const int f = c % storeys;
            for (int b = 0; b < bays; ++b)
                AppendFormat(s, "%d %d 4 6 0 -15000\n", f * (perFloor + bays) + perFloor + b + 1,
                             c);
        }
    }
    return s;
}
