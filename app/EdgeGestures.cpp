#include "app/EdgeGestures.h"

#ifdef _WIN32
#include "platform/win32/Win32Types.h"
#else
#include <dlfcn.h>
#endif

#include <array>
#include <cstdint>
#include <memory>
#include <system_error>

namespace {

#ifdef _WIN32
constexpr std::array<const char*, 1> LibraryNames = {"Quorell.dll"};

struct CloseLibrary {
    void operator()(void* handle) const noexcept { ::FreeLibrary(static_cast<HMODULE>(handle)); }
};
using LibraryHandle = std::unique_ptr<void, CloseLibrary>;

LibraryHandle Open(const std::filesystem::path& name) { return LibraryHandle(::LoadLibraryW(name.c_str())); }

void* Symbol(const LibraryHandle& library, const char* name)
{
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(library.get()), name));
}
#else
constexpr std::array<const char*, 2> LibraryNames = {"libQuorell.so", "Quorell.so"};

struct CloseLibrary {
    void operator()(void* handle) const noexcept { ::dlclose(handle); }
};
using LibraryHandle = std::unique_ptr<void, CloseLibrary>;

LibraryHandle Open(const std::filesystem::path& name)
{
    return LibraryHandle(::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL));
}

void* Symbol(const LibraryHandle& library, const char* name) { return ::dlsym(library.get(), name); }
#endif

LibraryHandle FindLibrary(const std::filesystem::path& firstDirectory)
{
    if (!firstDirectory.empty()) {
        for (const char* name : LibraryNames) {
            if (LibraryHandle handle = Open(firstDirectory / name))
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

void SwitchEdgeGestures(NativeWindowHandle window, bool off) { SwitchEdgeGestures(window, off, ProgramDirectory()); }

void SwitchEdgeGestures(NativeWindowHandle window, bool off, const std::filesystem::path& firstDirectory)
{
    const LibraryHandle library = FindLibrary(firstDirectory);
    if (!library)
        return;
    using DisableEdgeGesturesFunction = int (*)(std::uintptr_t, int);
    const auto function = reinterpret_cast<DisableEdgeGesturesFunction>(Symbol(library, "DisableEdgeGestures"));
    if (function != nullptr)
        function(window, off ? 1 : 0);
}

#ifdef _WIN32
std::filesystem::path ProgramDirectory()
{
    std::wstring program(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size()));
        if (length == 0)
            return {};
        if (length < program.size())
            return std::filesystem::path(program.substr(0, length)).parent_path();
        program.resize(program.size() * 2);
    }
}
#else
std::filesystem::path ProgramDirectory()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : program.parent_path();
}
#endif
