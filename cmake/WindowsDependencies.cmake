# The Windows build's dependencies: the system's own libraries, and jsoncpp and
# GoogleTest built for mingw from Debian's sources (scripts/install-deps.sh --windows),
# both static, so that a program needs no library beside it but the compiler's runtime.
find_package(Threads REQUIRED)
find_package(jsoncpp CONFIG REQUIRED)
add_library(PkgConfig::JSONCPP INTERFACE IMPORTED)
target_link_libraries(PkgConfig::JSONCPP INTERFACE jsoncpp_static)
if(ZENDRIK_BUILD_TESTS)
  find_package(GTest CONFIG REQUIRED)
  include(GoogleTest)
endif()

# <windows.h> without min/max macros or the rarely used headers; Windows 7 and later.
add_compile_definitions(NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601 UNICODE _UNICODE)
# The compiler's runtime goes into each program, which then runs from any folder.
add_link_options(-static -static-libgcc -static-libstdc++)
