# GoogleTest from Debian's source package, built inside each tree so that the
# native and the Windows tree test alike.
set(QUENBOL_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${QUENBOL_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
if(WIN32)
  target_link_options(gtest PUBLIC -static)
endif()
include(GoogleTest)

# Registers a test program with CTest. Natively each test case is its own
# CTest test. Under Wine the whole program is one CTest test: starting Wine
# costs about a second, and the program's own output names every case. Wine
# tests run one at a time: one Wine server, two cores. A Windows test program
# carries the program's manifest, so it runs on the same common controls.
# A program that crashes under Wine can still exit with status 0 (Wine's
# debugger ends it), so Wine's crash report fails the test as well.
set(QUENBOL_WINE_CRASH "wine: Unhandled|Unhandled exception")
function(quenbol_add_gtest target)
  if(CMAKE_CROSSCOMPILING)
    target_link_libraries(${target} PRIVATE quenbol_manifest)
    set_property(GLOBAL APPEND PROPERTY QUENBOL_TEST_PROGRAMS ${target})
    add_test(NAME ${target} COMMAND ${target} --gtest_color=no)
    set_tests_properties(${target} PROPERTIES RUN_SERIAL TRUE TIMEOUT 1200
                         FAIL_REGULAR_EXPRESSION "${QUENBOL_WINE_CRASH}" ${ARGN})
  else()
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT 300 ${ARGN})
  endif()
endfunction()
