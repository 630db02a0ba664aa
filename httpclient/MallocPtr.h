#pragma once
// Ownership of the client's malloc'd texts (every text it hands out is freed with free).

#include <cstdlib>
#include <memory>

namespace Tavik {

struct FreeDeleter {
    void operator()(void* memory) const noexcept { std::free(memory); }
};

template <typename T>
using MallocPtr = std::unique_ptr<T, FreeDeleter>;

}  // namespace Tavik
