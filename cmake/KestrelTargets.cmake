# Shared compile settings and the one-library-per-folder rule.

set(KESTREL_WARNINGS
  -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
  -Wformat=2 -Wundef -Wcast-qual -Wpointer-arith)
if(KESTREL_WERROR)
  list(APPEND KESTREL_WARNINGS -Werror)
endif()

add_library(kestrel_options INTERFACE)
target_compile_options(kestrel_options INTERFACE ${KESTREL_WARNINGS})
target_include_directories(kestrel_options INTERFACE ${PROJECT_SOURCE_DIR})
# 64-bit file offsets on the 32-bit device too: files on the card may pass
# 2 GiB, and directory cookies from large file systems overflow a 32-bit
# readdir (EOVERFLOW ends the listing early).
target_compile_definitions(kestrel_options INTERFACE _FILE_OFFSET_BITS=64)

if(KESTREL_SANITIZE)
  set(KESTREL_SAN_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_compile_options(kestrel_options INTERFACE ${KESTREL_SAN_FLAGS})
  target_link_options(kestrel_options INTERFACE ${KESTREL_SAN_FLAGS})
endif()
if(KESTREL_FUZZ)
  target_compile_options(kestrel_options INTERFACE -fsanitize=fuzzer-no-link)
endif()

# Product code reports failures as results; it never throws.
add_library(kestrel_product_options INTERFACE)
target_link_libraries(kestrel_product_options INTERFACE kestrel_options)
target_compile_options(kestrel_product_options INTERFACE -fno-exceptions)

# kestrel_folder_library(<name> [DEPS <libs>...]): a static library of every
# .cpp in the calling folder (files named *_main.cpp are programs, not library code).
function(kestrel_folder_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(FILTER srcs EXCLUDE REGEX "_main\\.cpp$")
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_link_libraries(${name} PUBLIC kestrel_options ${ARG_DEPS} PRIVATE kestrel_product_options)
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE kestrel_options ${ARG_DEPS})
  endif()
endfunction()
