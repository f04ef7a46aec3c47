# GoogleTest for the Windows build, compiled with the cross compiler from the sources Debian's
# googletest package ships (the host's prebuilt libraries are Linux objects), with the same GTest::
# targets as find_package(GTest) gives on Linux.
include_guard(GLOBAL)

set(ORVAN_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for the Windows build")
if(NOT EXISTS ${ORVAN_GOOGLETEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources in ${ORVAN_GOOGLETEST_SOURCE} (Debian: apt-get install googletest)")
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
add_subdirectory(${ORVAN_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# GoogleTest's own sources are not ours to keep warning-free. Its project defines the GTest:: names.
foreach(library gtest gtest_main gmock gmock_main)
  target_compile_options(${library} PRIVATE -w)
endforeach()
