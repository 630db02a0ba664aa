#pragma once
// Connect, send and receive timeouts: process-wide defaults (set with a null handle) that
// each session copies when it is opened, and per-handle overrides.

#include "platform/win32/Win32Types.h"

#include <atomic>
#include <cstdint>
#include <optional>

namespace wininet {

enum class TimeoutKind { Connect = 0, Send = 1, Receive = 2 };

// Milliseconds; 0 means no limit of ours.
struct TimeoutValues {
    DWORD connectMs;
    DWORD sendMs;
    DWORD receiveMs;
};

// Of the same order as the platform library's own defaults.
constexpr TimeoutValues kBuiltInTimeouts{60'000, 30'000, 30'000};

// The option number as a timeout, or nullopt for any other option.
std::optional<TimeoutKind> TimeoutKindOfOption(DWORD option);

// 0 and all ones both ask for no limit, as on the platform.
DWORD NormaliseTimeout(DWORD ms);

void SetDefaultTimeout(TimeoutKind kind, DWORD ms);
TimeoutValues DefaultTimeouts();

// Values set on one handle; unset ones come from the parent handle.
class TimeoutOverrides {
public:
    void Set(TimeoutKind kind, DWORD ms);
    void SetAll(const TimeoutValues& values);
    std::optional<DWORD> Get(TimeoutKind kind) const;

private:
    static constexpr std::int64_t kUnset = -1;
    std::atomic<std::int64_t> values_[3]{kUnset, kUnset, kUnset};
};

// The first override found along the chain, the built-in value otherwise.
TimeoutValues ResolveTimeouts(const TimeoutOverrides& request, const TimeoutOverrides& connection,
                              const TimeoutOverrides& session);

}  // namespace wininet
