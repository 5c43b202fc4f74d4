# Warnings for our own targets; third-party headers come in as system headers.
function(tallowin_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter)
endfunction()
