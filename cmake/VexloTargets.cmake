# Compile and link settings shared by every target of the project.

# Warnings are errors everywhere: the library, the samples and the tests.
function(vexlo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wno-unused-parameter)
endfunction()

# Texts in the sources are UTF-8; the library writes them as Shift-JIS bytes,
# so GCC converts string literals to code page 932. (Clang cannot convert
# literals; it is used only for the fuzzers, which never compare texts.)
function(vexlo_charset target)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -finput-charset=UTF-8 -fexec-charset=CP932)
  endif()
endfunction()

function(vexlo_sanitize target)
  if(VEXLO_SANITIZE AND NOT WIN32)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# Windows programs carry their runtime with them: a bare Windows machine
# has neither libstdc++ nor winpthread.
function(vexlo_static_runtime target)
  if(WIN32)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  endif()
endfunction()

function(vexlo_target target)
  vexlo_warnings(${target})
  vexlo_charset(${target})
  vexlo_sanitize(${target})
endfunction()
