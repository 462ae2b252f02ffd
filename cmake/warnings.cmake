# Warnings on, and as errors, for every target of the project.
function(pellmoor_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
