#pragma once
// Reads a request body from the HTTP library as it arrives and hands it on in pieces,
// misbehaving on the way when a script says so: it stops at a chosen byte (the caller
// then drops the connection), stops reading for a while, or reads slowly.

#include "tools/standin/ScriptRule.h"
#include "tools/standin/Stopper.h"

#include <httplib.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace standin {

struct BodyFaults {
    std::optional<std::uint64_t> dropAfter;
    std::optional<std::uint64_t> stallAfter;
    int stallMs = 0;
    std::uint64_t bytesPerSecond = 0;

    static BodyFaults From(const std::optional<ScriptRule>& rule);
};

struct BodyOutcome {
    std::uint64_t bytes = 0;  // handed on to the sink
    bool complete = false;    // the whole body arrived
    bool dropped = false;     // stopped on purpose at dropAfter
};

BodyOutcome PumpBody(const httplib::ContentReader& reader, const BodyFaults& faults, Stopper& stopper,
                     const std::function<void(std::string_view)>& sink);

}  // namespace standin
