#pragma once
// How long the timer's ticks take on the user interface thread, and how far apart they
// come, kept apart for the ticks while a job runs. With ZENDRIK_TICK_STATS set in the
// environment the window prints the figures to standard error when it ends; without
// it nothing is measured.

#include <chrono>
#include <cstdio>

class TickStats {
public:
    using Clock = std::chrono::steady_clock;

    TickStats();

    bool Enabled() const { return enabled_; }
    void Record(Clock::time_point start, Clock::time_point end, bool jobRunning);
    void Print(std::FILE* out) const;

private:
    struct Figures {
        int ticks = 0;
        double longestMs = 0;
        double longestGapMs = 0;  // from the start of one tick to the start of the next
    };
    static void Add(Figures& figures, double tickMs, double gapMs);

    bool enabled_ = false;
    Clock::time_point lastStart_{};
    Figures all_;
    Figures job_;
};
