# Cross-builds for 64-bit Windows with Debian's mingw-w64 (the posix thread model, for
# std::thread and std::mutex), running the test programs under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# jsoncpp and GoogleTest for mingw, built from Debian's sources by install-deps.sh --windows.
if(NOT ZENDRIK_MINGW_PREFIX)
  if(DEFINED ENV{ZENDRIK_MINGW_PREFIX})
    set(ZENDRIK_MINGW_PREFIX "$ENV{ZENDRIK_MINGW_PREFIX}")
  else()
    set(ZENDRIK_MINGW_PREFIX "$ENV{HOME}/.cache/zendrik2-mingw/prefix")
  endif()
endif()
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${ZENDRIK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
