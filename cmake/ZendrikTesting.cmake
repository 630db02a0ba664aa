# zendrik_add_test_suite(name SOURCES ... LIBS ...): one test executable in build/bin,
# each of its cases registered with CTest.
function(zendrik_add_test_suite name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock Threads::Threads)
  gtest_discover_tests(${name} TEST_PREFIX "${name}." DISCOVERY_TIMEOUT 120 PROPERTIES TIMEOUT 300 LABELS ${name})
endfunction()
