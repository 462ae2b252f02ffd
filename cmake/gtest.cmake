# GoogleTest: the system package natively, built from Debian's sources
# (/usr/src/googletest) for the cross build.
if(CMAKE_CROSSCOMPILING)
  set(PELLMOOR_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for the cross build")
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${PELLMOOR_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # GoogleTest's own build defines the GTest:: aliases.
else()
  find_package(GTest REQUIRED)
endif()
