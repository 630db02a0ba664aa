# The windowed program's toolkit: wxWidgets 3.2 (GTK 3) with its WebKitGTK web view.
# Only app/ and browser/ link these; the asan preset builds without them.
option(ZENDRIK_BUILD_GUI "Build the windowed program and its browser layer" ON)

if(ZENDRIK_BUILD_GUI AND WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/GuiWindows.cmake)
elseif(ZENDRIK_BUILD_GUI)
  find_package(wxWidgets 3.2 REQUIRED COMPONENTS webview core base)

  # CMake 3.25's FindwxWidgets leaves plain variables only; carry them on one target.
  add_library(zendrik_wx INTERFACE)
  target_include_directories(zendrik_wx SYSTEM INTERFACE ${wxWidgets_INCLUDE_DIRS})
  target_compile_definitions(zendrik_wx INTERFACE ${wxWidgets_DEFINITIONS})
  if(wxWidgets_CXX_FLAGS)
    separate_arguments(_zendrik_wx_flags UNIX_COMMAND "${wxWidgets_CXX_FLAGS}")
    target_compile_options(zendrik_wx INTERFACE ${_zendrik_wx_flags})
  endif()
  target_link_libraries(zendrik_wx INTERFACE ${wxWidgets_LIBRARIES})

  pkg_check_modules(WEBKIT2GTK REQUIRED IMPORTED_TARGET webkit2gtk-4.0)
  pkg_check_modules(GTK3 REQUIRED IMPORTED_TARGET gtk+-3.0)
  pkg_check_modules(X11 REQUIRED IMPORTED_TARGET x11)
endif()
