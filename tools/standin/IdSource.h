#pragma once
// Object ids in the style of the Graph API (long decimal numbers from one counter, as
// every object shares one id space there) and random texts for tokens, cookies and traces.

#include <cstdint>
#include <mutex>
#include <random>
#include <string>

namespace standin {

class IdSource {
public:
    IdSource();
    std::string NextObjectId();
    std::string RandomText(std::size_t length);  // letters and digits
    void Reset();

private:
    std::mutex mutex_;
    std::uint64_t next_;
    std::mt19937_64 random_;
};

}  // namespace standin
