# GoogleTest built from Debian's source package, for builds (the Windows cross
# build) that have no installed GoogleTest of their own. Nothing is downloaded.
set(VELTRANO_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources (Debian package googletest)")
if(NOT EXISTS ${VELTRANO_GOOGLETEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest sources not found in ${VELTRANO_GOOGLETEST_SOURCE}: run scripts/setup.sh windows")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
# SYSTEM: our warning flags do not reach into its headers.
add_subdirectory(${VELTRANO_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
