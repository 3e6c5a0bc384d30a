// Progress and stopping of an export in the desktop program: status texts
// "正在导出NAME...(NN%)", which the progress window reads, and the stop flag its "取消"
// clears (the engine's m_keepRunning). The writers take a pointer to one; without one they
// report nothing and never stop, as the batch tool runs them.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>
#include <utility>

#include "platform/Format.h"
#include "platform/Host.h"

class CExportProgress {
public:
    CExportProgress(std::string name, const std::atomic<std::uint8_t>& keepRunning)
        : m_name(std::move(name)), m_keepRunning(keepRunning) {}

    // The share of the whole export (0 to 1) that the next steps fill.
    void Part(double from, double to) {
        m_from = from;
        m_to = to;
    }
    // `done` (0 to 1) of the present part: a status text whenever the whole percentage grows.
    // False once a stop was asked for.
    bool Step(double done) {
        if (Advance(done)) Show();
        return !Stopped();
    }
    // The same, with the status text shown even when unchanged: the window stays alive while
    // a library call that cannot report runs on another thread.
    bool Wait(double done) {
        Advance(done);
        Show();
        return !Stopped();
    }
    bool Stopped() const { return m_keepRunning.load(std::memory_order_relaxed) == 0; }

private:
    bool Advance(double done) {
        const double whole = m_from + (m_to - m_from) * std::clamp(done, 0.0, 1.0);
        const int percent = static_cast<int>(whole * 100);
        if (percent <= m_shown) return false;
        m_shown = percent;
        return true;
    }
    void Show() const {
        ShowStatus(FormatString("正在导出%s...(%d%%)", m_name.c_str(), std::max(m_shown, 0)));
    }

    std::string m_name;
    const std::atomic<std::uint8_t>& m_keepRunning;
    double m_from = 0, m_to = 1;
    int m_shown = -1;
};
