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

# Registers a test program with CTest. Under Wine the program is listed when
# the tests run (a cold Wine takes longer than the build-time default allows),
# and the tests run one at a time: one Wine server, two cores.
function(quenbol_add_gtest target)
  if(CMAKE_CROSSCOMPILING)
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                         PROPERTIES RUN_SERIAL TRUE TIMEOUT 300 ${ARGN})
  else()
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT 300 ${ARGN})
  endif()
endfunction()
