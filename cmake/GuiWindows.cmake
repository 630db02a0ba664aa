# The Windows build's toolkit: the static wx MSW that scripts/mingw-wx.sh builds from
# Debian's source and caches, found through its wx-config (ZENDRIK_WX_CONFIG, which the
# script prints). Its web view has the IE backend only.
set(ZENDRIK_WX_CONFIG "" CACHE FILEPATH "wx-config of the static wx MSW build (scripts/mingw-wx.sh prints it)")
if(NOT ZENDRIK_WX_CONFIG OR NOT EXISTS "${ZENDRIK_WX_CONFIG}")
  message(STATUS "No wx MSW (ZENDRIK_WX_CONFIG): the Windows build leaves out the window")
  # Not in the cache: a later configure that names the toolkit builds the window.
  set(ZENDRIK_BUILD_GUI OFF)
  return()
endif()

function(zendrik_wx_config output)
  execute_process(COMMAND ${ZENDRIK_WX_CONFIG} --static=yes ${ARGN} webview core base
                  OUTPUT_VARIABLE text OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${ZENDRIK_WX_CONFIG} ${ARGN} failed")
  endif()
  separate_arguments(text UNIX_COMMAND "${text}")
  set(${output} ${text} PARENT_SCOPE)
endfunction()

zendrik_wx_config(_zendrik_wx_cxxflags --cxxflags)
zendrik_wx_config(_zendrik_wx_libs --libs)
add_library(zendrik_wx INTERFACE)
foreach(flag IN LISTS _zendrik_wx_cxxflags)
  if(flag MATCHES "^-I(.*)")
    target_include_directories(zendrik_wx SYSTEM INTERFACE ${CMAKE_MATCH_1})
  elseif(flag MATCHES "^-D(.*)")
    target_compile_definitions(zendrik_wx INTERFACE ${CMAKE_MATCH_1})
  else()
    # Not for the resource compiler, which knows only -I and -D.
    target_compile_options(zendrik_wx INTERFACE $<$<COMPILE_LANGUAGE:CXX>:${flag}>)
  endif()
endforeach()
# -mwindows belongs to the program's link, which add_executable(WIN32) already says.
list(REMOVE_ITEM _zendrik_wx_libs -mwindows)
target_link_libraries(zendrik_wx INTERFACE ${_zendrik_wx_libs})

# wx.rc's own includes, for the program's resource file.
execute_process(COMMAND ${ZENDRIK_WX_CONFIG} --prefix OUTPUT_VARIABLE _zendrik_wx_prefix OUTPUT_STRIP_TRAILING_WHITESPACE)
file(GLOB ZENDRIK_WX_RC_INCLUDE "${_zendrik_wx_prefix}/include/wx-*")
