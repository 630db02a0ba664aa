#include "platform/wininet/Timeouts.h"

#include "platform/wininet/WinInet.h"

#include <cstdlib>

namespace wininet {

namespace {

// Tests shorten the send and receive stall limits through the environment, so that a
// stalled server is given up on in seconds; anything but a positive number is ignored.
DWORD StallDefault(DWORD builtIn)
{
    const char* text = std::getenv("ZENDRIK_STALL_TIMEOUT_MS");
    if (text == nullptr || *text == '\0')
        return builtIn;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 10);
    if (*end != '\0' || value == 0 || value > builtIn || text[0] == '-')
        return builtIn;
    return static_cast<DWORD>(value);
}

std::atomic<DWORD> defaults[3]{kBuiltInTimeouts.connectMs, StallDefault(kBuiltInTimeouts.sendMs),
                               StallDefault(kBuiltInTimeouts.receiveMs)};

DWORD& Field(TimeoutValues& values, TimeoutKind kind)
{
    switch (kind) {
    case TimeoutKind::Connect: return values.connectMs;
    case TimeoutKind::Send: return values.sendMs;
    case TimeoutKind::Receive: break;
    }
    return values.receiveMs;
}

}  // namespace

std::optional<TimeoutKind> TimeoutKindOfOption(DWORD option)
{
    switch (option) {
    case INTERNET_OPTION_CONNECT_TIMEOUT: return TimeoutKind::Connect;
    case INTERNET_OPTION_SEND_TIMEOUT:
    case INTERNET_OPTION_DATA_SEND_TIMEOUT: return TimeoutKind::Send;
    case INTERNET_OPTION_RECEIVE_TIMEOUT:
    case INTERNET_OPTION_DATA_RECEIVE_TIMEOUT: return TimeoutKind::Receive;
    default: return std::nullopt;
    }
}

DWORD NormaliseTimeout(DWORD ms) { return ms == 0xFFFFFFFFu ? 0 : ms; }

void SetDefaultTimeout(TimeoutKind kind, DWORD ms) { defaults[static_cast<int>(kind)] = NormaliseTimeout(ms); }

TimeoutValues DefaultTimeouts() { return TimeoutValues{defaults[0].load(), defaults[1].load(), defaults[2].load()}; }

void TimeoutOverrides::Set(TimeoutKind kind, DWORD ms) { values_[static_cast<int>(kind)] = NormaliseTimeout(ms); }

void TimeoutOverrides::SetAll(const TimeoutValues& values)
{
    Set(TimeoutKind::Connect, values.connectMs);
    Set(TimeoutKind::Send, values.sendMs);
    Set(TimeoutKind::Receive, values.receiveMs);
}

std::optional<DWORD> TimeoutOverrides::Get(TimeoutKind kind) const
{
    const std::int64_t value = values_[static_cast<int>(kind)].load();
    if (value == kUnset) {
        return std::nullopt;
    }
    return static_cast<DWORD>(value);
}

TimeoutValues ResolveTimeouts(const TimeoutOverrides& request, const TimeoutOverrides& connection,
                              const TimeoutOverrides& session)
{
    TimeoutValues result = kBuiltInTimeouts;
    for (TimeoutKind kind : {TimeoutKind::Connect, TimeoutKind::Send, TimeoutKind::Receive}) {
        for (const TimeoutOverrides* level : {&request, &connection, &session}) {
            if (auto value = level->Get(kind)) {
                Field(result, kind) = *value;
                break;
            }
        }
    }
    return result;
}

}  // namespace wininet
