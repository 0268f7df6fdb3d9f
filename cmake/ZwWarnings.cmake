# Warnings as errors on our own targets (not on third-party code such as GoogleTest).
function(zw_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /WX /permissive-)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                             -Wsign-conversion -Werror)
  endif()
endfunction()
