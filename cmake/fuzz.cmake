# libFuzzer targets (the fuzz preset), with clang only. Every library is
# built with coverage for the fuzzer and with ASan and UBSan; only the fuzz
# targets themselves link libFuzzer's main.
option(PELLMOOR_FUZZ "Build the libFuzzer targets (clang only)" OFF)
if(PELLMOOR_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "The fuzz targets need clang: cmake --preset fuzz")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()
