# zendrik_add_test_suite(name [SERIAL] SOURCES ... LIBS ... [LABELS ...] [TIMEOUT s]): one
# test executable in build/bin, each of its cases registered with CTest. SERIAL cases run
# alone (they wait on real clocks); extra labels let a quick run leave them out.
function(zendrik_add_test_suite name)
  cmake_parse_arguments(ARG "SERIAL" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set(labels ${name} ${ARG_LABELS})
  if(ARG_SERIAL)
    set(serial RUN_SERIAL TRUE)
  endif()
  if(WIN32)
    # One registry for the whole Wine prefix: the cases that import settings take turns.
    list(APPEND serial RESOURCE_LOCK windows_registry)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock Threads::Threads)
  if(WIN32)
    target_link_libraries(${name} PRIVATE zendrik_registry_import)
  endif()
  gtest_discover_tests(${name} TEST_PREFIX "${name}." DISCOVERY_TIMEOUT 120 PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  # Discovery passes its PROPERTIES on as a flat list, which splits a list of labels into
  # stray property names (and with them RUN_SERIAL); the labels are set afterwards, on the
  # discovered names, by a file CTest reads after discovery's own.
  set(labels_file "${CMAKE_CURRENT_BINARY_DIR}/${name}_labels.cmake")
  file(WRITE "${labels_file}"
    "if(${name}_TESTS)\n"
    "  set_tests_properties(\${${name}_TESTS} PROPERTIES LABELS \"${labels}\" ${serial})\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${labels_file}")
endfunction()
