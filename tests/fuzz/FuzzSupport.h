#pragma once
// What the fuzz targets share: the input's bytes as the texts the parsers take, and a
// check that stops the run with a finding when an oracle does not hold.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "oracle failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__);                       \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

namespace fuzz {

inline std::string_view BytesOf(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

// One unit per byte: addresses and command lines are mostly ASCII, and this keeps the
// mutations on the characters that matter to the parsers.
inline std::u16string UnitsOf(std::string_view bytes)
{
    std::u16string text;
    text.reserve(bytes.size());
    for (const char byte : bytes)
        text.push_back(static_cast<unsigned char>(byte));
    return text;
}

// Little-endian byte pairs, up to the first zero unit: every unit, lone surrogates too.
inline std::u16string PairsOf(std::string_view bytes)
{
    std::u16string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto unit =
            static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
        if (unit == 0)
            break;
        text.push_back(unit);
    }
    return text;
}

// A folder of its own for the run, as HOME and the XDG folders, so nothing is read
// from or written to the real home.
inline void UsePrivateHome()
{
    char root[] = "/tmp/zendrik-fuzz-XXXXXX";
    if (::mkdtemp(root) == nullptr)
        std::abort();
    static std::string base;
    base = root;
    std::atexit([] { std::filesystem::remove_all(base); });
    ::setenv("HOME", base.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (base + "/config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (base + "/data").c_str(), 1);
    ::unsetenv("ZENDRIK_DEBUG");
}

}  // namespace fuzz
