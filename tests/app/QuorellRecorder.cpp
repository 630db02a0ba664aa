// A stand-in for the edge-gesture companion library: every call becomes a line
// "<window> <flag>" in the file that ZENDRIK_QUORELL_RECORD names.

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" __attribute__((visibility("default"))) int DisableEdgeGestures(std::uintptr_t window, int flag)
{
    const char* record = std::getenv("ZENDRIK_QUORELL_RECORD");
    if (record == nullptr)
        return 0;
    if (std::FILE* file = std::fopen(record, "a")) {
        std::fprintf(file, "%" PRIuPTR " %d\n", window, flag);
        std::fclose(file);
    }
    return 0;
}
