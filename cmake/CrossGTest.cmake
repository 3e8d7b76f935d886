# GoogleTest for cross-built tests: compiled from Debian's sources
# (/usr/src/googletest, package libgtest-dev) with the cross compiler, and
# offered under the same GTest::gtest / GTest::gtest_main names that
# find_package gives the native build.
set(TZM_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for cross-built tests")
if(NOT EXISTS ${TZM_GTEST_SOURCE_DIR}/googletest/CMakeLists.txt)
  message(FATAL_ERROR "Cross-built tests need the GoogleTest sources in ${TZM_GTEST_SOURCE_DIR} (libgtest-dev)")
endif()

set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(${TZM_GTEST_SOURCE_DIR}/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(lib gtest gtest_main)
  # Its own warnings are not ours to fix.
  set_target_properties(${lib} PROPERTIES CXX_VISIBILITY_PRESET default)
  if(NOT TARGET GTest::${lib})
    add_library(GTest::${lib} ALIAS ${lib})
  endif()
endforeach()
