# GoogleTest is built from the sources Debian's googletest package installs,
# the same way for the native and the cross build.
set(GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# The third-party sources are not held to this project's warning flags.
foreach(target gtest gtest_main)
  target_compile_options(${target} PRIVATE -w)
endforeach()

# What the unit tests and the fuzz targets share lives with the tests, out
# of the programs' include path.
set(TEST_SUPPORT_DIR ${PROJECT_SOURCE_DIR}/tests/support)

# Adds one unit-test program, with the usage stub that stands in for the
# programs' help text; under the cross build CTest runs it through
# CMAKE_CROSSCOMPILING_EMULATOR (Wine).
function(add_unit_test name)
  add_executable(${name} ${ARGN} ${TEST_SUPPORT_DIR}/usage_stub.cpp)
  target_include_directories(${name} PRIVATE ${TEST_SUPPORT_DIR})
  target_link_libraries(${name} PRIVATE gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "WINEDEBUG=-all")
endfunction()
