# Warnings and sanitizers as interface targets, linked PRIVATE by every target we build.
add_library(zentrovax_warnings INTERFACE)
if(MSVC)
  # Building on Windows itself with Visual C++.
  target_compile_options(zentrovax_warnings INTERFACE /W4 /permissive- /utf-8)
  if(ZENTROVAX_WERROR)
    target_compile_options(zentrovax_warnings INTERFACE /WX)
  endif()
else()
  target_compile_options(zentrovax_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow
                                                      -Wconversion -Wsign-conversion
                                                      -Wnon-virtual-dtor)
  if(ZENTROVAX_WERROR)
    target_compile_options(zentrovax_warnings INTERFACE -Werror)
  endif()
endif()

add_library(zentrovax_sanitizers INTERFACE)
if(ZENTROVAX_SANITIZE)
  target_compile_options(zentrovax_sanitizers INTERFACE -fsanitize=address,undefined
                                                        -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_link_options(zentrovax_sanitizers INTERFACE -fsanitize=address,undefined)
endif()

add_library(zentrovax_options INTERFACE)
target_link_libraries(zentrovax_options INTERFACE zentrovax_warnings zentrovax_sanitizers)

# A Windows program that needs nothing installed: the C and C++ runtimes and the thread library
# are linked in, so only Windows' own DLLs are imported.
if(MINGW)
  target_link_options(zentrovax_options INTERFACE -static)
endif()
