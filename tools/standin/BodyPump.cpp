#include "tools/standin/BodyPump.h"

#include <algorithm>
#include <chrono>

namespace standin {

BodyFaults BodyFaults::From(const std::optional<ScriptRule>& rule)
{
    BodyFaults faults;
    if (!rule)
        return faults;
    faults.dropAfter = rule->dropAfterBodyBytes;
    faults.stallAfter = rule->stallAfterBodyBytes;
    faults.stallMs = rule->stallMs;
    faults.bytesPerSecond = rule->bodyBytesPerSecond;
    return faults;
}

BodyOutcome PumpBody(const httplib::ContentReader& reader, const BodyFaults& faults, Stopper& stopper,
                     const std::function<void(std::string_view)>& sink)
{
    using Clock = std::chrono::steady_clock;
    BodyOutcome outcome;
    bool stalled = false;
    const auto started = Clock::now();

    auto receive = [&](const char* data, std::size_t size) {
        std::string_view rest(data, size);
        while (!rest.empty()) {
            if (faults.dropAfter && outcome.bytes >= *faults.dropAfter) {
                outcome.dropped = true;
                return false;
            }
            std::size_t take = rest.size();
            if (faults.dropAfter)
                take = std::min<std::uint64_t>(take, *faults.dropAfter - outcome.bytes);
            const bool stallNow = faults.stallAfter && !stalled && outcome.bytes + take >= *faults.stallAfter;
            if (stallNow)
                take = static_cast<std::size_t>(*faults.stallAfter - outcome.bytes);
            sink(rest.substr(0, take));
            outcome.bytes += take;
            rest.remove_prefix(take);
            if (stallNow) {
                stalled = true;
                if (!stopper.SleepFor(std::chrono::milliseconds(faults.stallMs)))
                    return false;
            }
            if (faults.bytesPerSecond) {
                const auto due = started + std::chrono::microseconds(outcome.bytes * 1000000 / faults.bytesPerSecond);
                const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now());
                if (wait.count() > 0 && !stopper.SleepFor(wait))
                    return false;
            }
        }
        // A body that ends exactly at the drop point is still dropped there.
        if (faults.dropAfter && outcome.bytes >= *faults.dropAfter) {
            outcome.dropped = true;
            return false;
        }
        return true;
    };
    outcome.complete = reader(receive) && !outcome.dropped;
    return outcome;
}

}  // namespace standin
