#include "platform/Format.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <type_traits>

namespace {

struct Conversion {
    bool left = false, plus = false, space = false, alt = false, zero = false;
    int width = 0;
    int precision = -1;
    char length = 0;  // 'h', 'H' (hh), 'l', 'L' (ll or long double), 'z', 'j', 't'
    char conv = 0;
};

// Pads body (sign/prefix already split off) to the field width.
void Emit(std::string& out, const Conversion& s, std::string_view sign, std::string_view body,
          bool zeroPadAllowed) {
    const size_t len = sign.size() + body.size();
    const size_t width = s.width > 0 ? static_cast<size_t>(s.width) : 0;
    const size_t pad = width > len ? width - len : 0;
    if (pad == 0) {
        out.append(sign);
        out.append(body);
    } else if (s.left) {
        out.append(sign);
        out.append(body);
        out.append(pad, ' ');
    } else if (s.zero && zeroPadAllowed) {
        out.append(sign);
        out.append(pad, '0');
        out.append(body);
    } else {
        out.append(pad, ' ');
        out.append(sign);
        out.append(body);
    }
}

std::string_view SignOf(bool negative, const Conversion& s) {
    if (negative) return "-";
    if (s.plus) return "+";
    if (s.space) return " ";
    return "";
}

// Integer digits with the precision's leading zeros, into a stack buffer.
std::string_view IntegerBody(char* buf, size_t size, unsigned long long mag, int precision) {
    char digits[32];
    auto r = std::to_chars(digits, digits + sizeof digits, mag);
    size_t n = static_cast<size_t>(r.ptr - digits);
    if (precision == 0 && mag == 0) n = 0;
    size_t zeros = precision > 0 && static_cast<size_t>(precision) > n ? precision - n : 0;
    if (zeros + n > size) zeros = size - n;
    std::memset(buf, '0', zeros);
    std::memcpy(buf + zeros, digits, n);
    return std::string_view(buf, zeros + n);
}

void FormatSigned(std::string& out, const Conversion& s, long long v) {
    char buf[128];
    const bool neg = v < 0;
    const unsigned long long mag =
        neg ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    Emit(out, s, SignOf(neg, s), IntegerBody(buf, sizeof buf, mag, s.precision), s.precision < 0);
}

void FormatUnsigned(std::string& out, const Conversion& s, unsigned long long v) {
    char buf[128];
    Emit(out, s, "", IntegerBody(buf, sizeof buf, v, s.precision), s.precision < 0);
}

// %.Ne of a finite non-negative value from its shortest round-trip digits, which are several
// times cheaper to find than correctly rounded fixed-precision digits. The shortest string S
// lies within half a unit in the last place of the value (1.1e-16 relative for normal
// numbers), so for N + 1 <= 10 digits rounding S gives the same digits as rounding the exact
// value, unless the discarded digits of S sit within 1e-3 of a grid step of a rounding
// midpoint; then it returns false and the caller takes the exact path.
bool FastScientific(double mag, int prec, bool upper, char* out, std::to_chars_result& result) {
    char s[32];
    const auto r = std::to_chars(s, s + sizeof s, mag, std::chars_format::scientific);
    if (r.ec != std::errc()) return false;
    // The shortest form is "d[.ddd]e±XX[X]": read the exponent from the end.
    const char* e = r.ptr - 1;
    int exponent = 0, scale = 1;
    while (*e >= '0' && *e <= '9') {
        exponent += (*e - '0') * scale;
        scale *= 10;
        --e;
    }
    if (*e == '-') exponent = -exponent;
    --e;  // at the 'e'
    char digits[24];
    int nd = 0;
    for (const char* p = s; p < e; ++p)
        if (*p != '.') digits[nd++] = *p;
    const int need = prec + 1;
    if (nd > need) {
        const char* tail = digits + need;
        const int tailLen = nd - need;
        bool nearMidpoint = tail[0] == '4' || tail[0] == '5';
        for (int i = 1; i < tailLen && i < 3 && nearMidpoint; ++i)
            nearMidpoint = tail[i] == (tail[0] == '4' ? '9' : '0');
        if (nearMidpoint) return false;
        if (tail[0] >= '5') {
            int i = need - 1;
            while (i >= 0 && digits[i] == '9') digits[i--] = '0';
            if (i >= 0) {
                ++digits[i];
            } else {
                digits[0] = '1';
                ++exponent;
            }
        }
        nd = need;
    }
    while (nd < need) digits[nd++] = '0';
    char* o = out;
    *o++ = digits[0];
    if (prec > 0) {
        *o++ = '.';
        std::memcpy(o, digits + 1, static_cast<size_t>(prec));
        o += prec;
    }
    // The exponent goes out in the program's three-digit form directly.
    *o++ = upper ? 'E' : 'e';
    *o++ = exponent < 0 ? '-' : '+';
    const int ax = exponent < 0 ? -exponent : exponent;
    *o++ = static_cast<char>('0' + ax / 100);
    *o++ = static_cast<char>('0' + ax / 10 % 10);
    *o++ = static_cast<char>('0' + ax % 10);
    result.ptr = o;
    result.ec = std::errc();
    return true;
}

// %f and %e of a finite or non-finite double.
void FormatDouble(std::string& out, const Conversion& s, double v) {
    const bool upper = s.conv == 'E' || s.conv == 'F';
    const bool neg = std::signbit(v);
    const double mag = std::fabs(v);
    if (!std::isfinite(v)) {
        const char* text = std::isnan(v) ? (upper ? "NAN" : "nan") : (upper ? "INF" : "inf");
        Emit(out, s, SignOf(neg, s), text, false);
        return;
    }
    const int prec = s.precision < 0 ? 6 : s.precision;
    // Large enough for %f of 1e308 with a long fraction.
    char buf[400];
    const bool exp = s.conv == 'e' || s.conv == 'E';
    const size_t room = sizeof buf - 16;
    std::to_chars_result r{};
    // The shortcut needs the rounding grid far coarser than the spacing of doubles: at most
    // ten digits, and no subnormal values (whose spacing is relatively wide).
    const bool shortcut = exp && !s.alt && prec <= 9 && (mag == 0 || mag >= DBL_MIN);
    bool widened = false;
    if (shortcut && FastScientific(mag, prec, upper, buf, r)) {
        widened = true;  // the shortest digits decided the rounding; exponent already wide
    } else if (prec <= 300) {
        r = std::to_chars(buf, buf + room, mag,
                          exp ? std::chars_format::scientific : std::chars_format::fixed, prec);
    } else {
        r.ec = std::errc::value_too_large;
    }
    if (r.ec != std::errc()) {
        // Extreme precisions: leave them to the C library, fixing the exponent below.
        char fmt[16];
        std::snprintf(fmt, sizeof fmt, "%%.%d%c", prec, exp ? 'e' : 'f');
        std::string tmp(static_cast<size_t>(std::snprintf(nullptr, 0, fmt, mag)) + 1, '\0');
        std::snprintf(tmp.data(), tmp.size(), fmt, mag);
        tmp.pop_back();
        std::string body = tmp;
        if (exp) {
            size_t e = body.find('e');
            std::string mant = body.substr(0, e);
            std::string ex = body.substr(e + 2);
            char sg = body[e + 1];
            body = mant;
            body.push_back(upper ? 'E' : 'e');
            body.push_back(sg);
            if (ex.size() < 3) body.append(3 - ex.size(), '0');
            body.append(ex);
        }
        Emit(out, s, SignOf(neg, s), body, true);
        return;
    }
    size_t len = static_cast<size_t>(r.ptr - buf);
    if (exp && !widened) {
        // Widen the exponent to three digits in place: "1.5e+01" -> "1.5e+001".
        char* e = static_cast<char*>(std::memchr(buf, 'e', len));
        char* digits = e + 2;
        const size_t nd = static_cast<size_t>(buf + len - digits);
        if (s.alt && prec == 0) {
            std::memmove(e + 1, e, static_cast<size_t>(buf + len - e));
            *e++ = '.';
            ++digits;
            ++len;
        }
        if (nd < 3) {
            std::memmove(digits + (3 - nd), digits, nd);
            std::memset(digits, '0', 3 - nd);
            len += 3 - nd;
        }
        if (upper) *e = 'E';
    } else if (s.alt && prec == 0) {
        buf[len++] = '.';
    }
    Emit(out, s, SignOf(neg, s), std::string_view(buf, len), true);
}

// Conversions the program does not use in bulk (%g, %x, %o, %a, %p): C's own output.
template <typename T>
void FormatByC(std::string& out, const Conversion& s, T value) {
    std::string fmt = "%";
    if (s.left) fmt += '-';
    if (s.plus) fmt += '+';
    if (s.space) fmt += ' ';
    if (s.alt) fmt += '#';
    if (s.zero) fmt += '0';
    if (s.width > 0) fmt += std::to_string(s.width);
    if (s.precision >= 0) {
        fmt.push_back('.');
        fmt.append(std::to_string(s.precision));
    }
    if constexpr (std::is_same_v<T, unsigned long long>) fmt += "ll";
    if constexpr (std::is_same_v<T, long double>) fmt += "L";
    fmt += s.conv;
    const int n = std::snprintf(nullptr, 0, fmt.c_str(), value);
    if (n <= 0) return;
    const size_t old = out.size();
    out.resize(old + static_cast<size_t>(n) + 1);
    std::snprintf(out.data() + old, static_cast<size_t>(n) + 1, fmt.c_str(), value);
    out.resize(old + static_cast<size_t>(n));
}

}  // namespace

void AppendFormatV(std::string& out, const char* fmt, va_list args) {
    va_list ap;
    va_copy(ap, args);
    const char* p = fmt;
    while (*p) {
        const char* pct = std::strchr(p, '%');
        if (!pct) {
            out.append(p);
            break;
        }
        out.append(p, static_cast<size_t>(pct - p));
        p = pct + 1;
        if (*p == '%') {
            out.push_back('%');
            ++p;
            continue;
        }
        Conversion s;
        for (;; ++p) {
            if (*p == '-')
                s.left = true;
            else if (*p == '+')
                s.plus = true;
            else if (*p == ' ')
                s.space = true;
            else if (*p == '#')
                s.alt = true;
            else if (*p == '0')
                s.zero = true;
            else
                break;
        }
        if (*p == '*') {
            s.width = va_arg(ap, int);
            if (s.width < 0) {
                s.left = true;
                s.width = -s.width;
            }
            ++p;
        } else {
            while (*p >= '0' && *p <= '9') s.width = s.width * 10 + (*p++ - '0');
        }
        if (*p == '.') {
            ++p;
            s.precision = 0;
            if (*p == '*') {
                s.precision = va_arg(ap, int);
                if (s.precision < 0) s.precision = -1;
                ++p;
            } else {
                while (*p >= '0' && *p <= '9') s.precision = s.precision * 10 + (*p++ - '0');
            }
        }
        switch (*p) {
            case 'h':
                s.length = (p[1] == 'h') ? 'H' : 'h';
                p += (p[1] == 'h') ? 2 : 1;
                break;
            case 'l':
                s.length = (p[1] == 'l') ? 'L' : 'l';
                p += (p[1] == 'l') ? 2 : 1;
                break;
            case 'L':
                s.length = 'D';
                ++p;
                break;
            case 'z':
            case 'j':
            case 't':
                s.length = *p++;
                break;
            default:
                break;
        }
        s.conv = *p;
        if (!*p) break;
        ++p;
        switch (s.conv) {
            case 'd':
            case 'i': {
                long long v;
                if (s.length == 'L')
                    v = va_arg(ap, long long);
                else if (s.length == 'l')
                    v = va_arg(ap, long);
                else if (s.length == 'z' || s.length == 't')
                    v = va_arg(ap, std::ptrdiff_t);
                else if (s.length == 'j')
                    v = va_arg(ap, long long);
                else {
                    v = va_arg(ap, int);
                    if (s.length == 'h') v = static_cast<short>(v);
                    if (s.length == 'H') v = static_cast<signed char>(v);
                }
                FormatSigned(out, s, v);
                break;
            }
            case 'u':
            case 'x':
            case 'X':
            case 'o': {
                unsigned long long v;
                if (s.length == 'L' || s.length == 'j')
                    v = va_arg(ap, unsigned long long);
                else if (s.length == 'l')
                    v = va_arg(ap, unsigned long);
                else if (s.length == 'z' || s.length == 't')
                    v = va_arg(ap, size_t);
                else {
                    v = va_arg(ap, unsigned);
                    if (s.length == 'h') v = static_cast<unsigned short>(v);
                    if (s.length == 'H') v = static_cast<unsigned char>(v);
                }
                if (s.conv == 'u')
                    FormatUnsigned(out, s, v);
                else
                    FormatByC(out, s, v);
                break;
            }
            case 'f':
            case 'F':
            case 'e':
            case 'E': {
                const double v = s.length == 'D' ? static_cast<double>(va_arg(ap, long double))
                                                 : va_arg(ap, double);
                FormatDouble(out, s, v);
                break;
            }
            case 'g':
            case 'G':
            case 'a':
            case 'A': {
                if (s.length == 'D')
                    FormatByC(out, s, va_arg(ap, long double));
                else
                    FormatByC(out, s, va_arg(ap, double));
                break;
            }
            case 'c': {
                const char c = static_cast<char>(va_arg(ap, int));
                Emit(out, s, "", std::string_view(&c, 1), false);
                break;
            }
            case 's': {
                const char* str = va_arg(ap, const char*);
                std::string_view sv = str ? std::string_view(str) : std::string_view("(null)");
                if (s.precision >= 0 && sv.size() > static_cast<size_t>(s.precision))
                    sv = sv.substr(0, static_cast<size_t>(s.precision));
                Emit(out, s, "", sv, false);
                break;
            }
            case 'p':
                FormatByC(out, s, va_arg(ap, void*));
                break;
            default:
                // Unknown conversion: copy it through unchanged.
                out.push_back('%');
                out.push_back(s.conv);
                break;
        }
    }
    va_end(ap);
}

void AppendFormat(std::string& out, const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    AppendFormatV(out, fmt, ap);
    va_end(ap);
}

std::string FormatString(const char* fmt, ...) {
    std::string out;
    va_list ap;
    va_start(ap, fmt);
    AppendFormatV(out, fmt, ap);
    va_end(ap);
    return out;
}
