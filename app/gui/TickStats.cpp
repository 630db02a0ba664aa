#include "app/gui/TickStats.h"

#include <algorithm>
#include <cstdlib>

namespace {

double Milliseconds(TickStats::Clock::duration span) { return std::chrono::duration<double, std::milli>(span).count(); }

}  // namespace

TickStats::TickStats() : enabled_(std::getenv("ZENDRIK_TICK_STATS") != nullptr) {}

void TickStats::Add(Figures& figures, double tickMs, double gapMs)
{
    ++figures.ticks;
    figures.longestMs = std::max(figures.longestMs, tickMs);
    figures.longestGapMs = std::max(figures.longestGapMs, gapMs);
}

void TickStats::Record(Clock::time_point start, Clock::time_point end, bool jobRunning)
{
    const double gapMs = lastStart_ == Clock::time_point{} ? 0 : Milliseconds(start - lastStart_);
    lastStart_ = start;
    const double tickMs = Milliseconds(end - start);
    Add(all_, tickMs, gapMs);
    if (jobRunning)
        Add(job_, tickMs, gapMs);
}

void TickStats::Print(std::FILE* out) const
{
    std::fprintf(out,
                 "tick stats: %d ticks, longest %.2f ms, longest gap %.1f ms; "
                 "while the job ran: %d ticks, longest %.2f ms, longest gap %.1f ms\n",
                 all_.ticks, all_.longestMs, all_.longestGapMs, job_.ticks, job_.longestMs, job_.longestGapMs);
    std::fflush(out);
}
