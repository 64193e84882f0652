# Flags for our own targets (never for googletest or other outside code).

function(veltmoor_our_code target)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wshadow -Wformat=2 -Wundef)
  endif()
  if(WIN32)
    # ANSI ("A") Windows functions throughout: texts are code-page-1252 bytes.
    target_compile_definitions(${target} PRIVATE WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0501 WINVER=0x0501 _WIN32_IE=0x0600)
  endif()
  if(VELTMOOR_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# A Windows program that must run with nothing beside it but the DLLs every Windows has.
function(veltmoor_windows_program target)
  target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++
    -Wl,--no-insert-timestamp -Wl,--dynamicbase -Wl,--nxcompat)
endfunction()

# The installer itself (and what it links): small, with no C++ runtime weight it does not use.
# Exceptions and RTTI are never used; unwind tables, unused sections and symbols are dropped; the
# system's own C runtime formats text (the toolchain's C99 printf would add 20 KB).
function(veltmoor_installer_code target)
  if(WIN32)
    target_compile_options(${target} PRIVATE -Os -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
                                             -ffunction-sections)
    target_compile_definitions(${target} PRIVATE __USE_MINGW_ANSI_STDIO=0)
  endif()
endfunction()

function(veltmoor_small_program target)
  veltmoor_windows_program(${target})
  target_link_options(${target} PRIVATE -s -Wl,--gc-sections)
endfunction()
