# AddressSanitizer and UndefinedBehaviorSanitizer for the native-asan preset.
option(PELLMOOR_SANITIZE "Build with ASan and UBSan" OFF)
if(PELLMOOR_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()
