#include "app/EdgeGestures.h"

#include <dlfcn.h>

#include <array>
#include <memory>
#include <system_error>

namespace {

constexpr std::array<const char*, 2> LibraryNames = {"libQuorell.so", "Quorell.so"};

struct CloseLibrary {
    void operator()(void* handle) const noexcept { ::dlclose(handle); }
};
using LibraryHandle = std::unique_ptr<void, CloseLibrary>;

LibraryHandle Open(const std::string& name) { return LibraryHandle(::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL)); }

LibraryHandle FindLibrary(const std::filesystem::path& firstDirectory)
{
    if (!firstDirectory.empty()) {
        for (const char* name : LibraryNames) {
            if (LibraryHandle handle = Open((firstDirectory / name).string()))
                return handle;
        }
    }
    for (const char* name : LibraryNames) {
        if (LibraryHandle handle = Open(name))
            return handle;
    }
    return nullptr;
}

}  // namespace

void SwitchEdgeGestures(unsigned long window, bool off) { SwitchEdgeGestures(window, off, ProgramDirectory()); }

void SwitchEdgeGestures(unsigned long window, bool off, const std::filesystem::path& firstDirectory)
{
    const LibraryHandle library = FindLibrary(firstDirectory);
    if (!library)
        return;
    using DisableEdgeGesturesFunction = int (*)(unsigned long, int);
    const auto function = reinterpret_cast<DisableEdgeGesturesFunction>(::dlsym(library.get(), "DisableEdgeGestures"));
    if (function != nullptr)
        function(window, off ? 1 : 0);
}

std::filesystem::path ProgramDirectory()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : program.parent_path();
}
