# GoogleTest for the C++ tests. Natively the distribution's build is used.
# No MinGW build of it is packaged, so a cross build compiles its sources
# (Debian's googletest package ships them) with the cross compiler.
if(CMAKE_CROSSCOMPILING)
  set(ONDREL_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(CMAKE_POLICY_VERSION_MINIMUM 3.10)  # its old cmake_minimum_required is not ours to fix
  # Defines GTest::gtest and GTest::gtest_main itself.
  add_subdirectory(${ONDREL_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  unset(CMAKE_POLICY_VERSION_MINIMUM)
else()
  find_package(GTest REQUIRED)
endif()
