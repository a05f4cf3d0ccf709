# GoogleTest built from the sources Debian ships with it, for a cross
# build's tests; it names its targets GTest::gtest and GTest::gtest_main as
# find_package(GTest) does.
set(googletest_source /usr/src/googletest)
if(NOT EXISTS ${googletest_source}/CMakeLists.txt)
  message(FATAL_ERROR "${googletest_source} is missing: run scripts/install-deps.sh --windows")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${googletest_source} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
