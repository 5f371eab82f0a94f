# Helpers shared by the test folders: one call registers a GoogleTest program with CTest.
find_package(GTest QUIET)
include(GoogleTest)

# dovra_add_gtest(<name> SOURCES <files...> [LIBS <targets...>] [ENVIRONMENT <VAR=value...>])
# ENVIRONMENT adds variables to the tests' environment (after the sanitizer options).
function(dovra_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  set(env "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
  foreach(var IN LISTS ARG_ENVIRONMENT)
    string(APPEND env ";${var}")
  endforeach()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "${env}")
endfunction()
