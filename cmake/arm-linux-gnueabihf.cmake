# Cross build for the device: 32-bit ARM Linux (arm-linux-gnueabihf), with
# Debian's cross compiler. C library and libstdc++ come from the cross
# compiler's own tree (/usr/arm-linux-gnueabihf); FreeType and the libraries
# it links come from build/arm-sysroot, which tools/arm-sysroot fills from
# Debian's armhf packages. Programs built here run through qemu-arm.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)

set(KESTREL_ARM_TRIPLE arm-linux-gnueabihf)
set(CMAKE_C_COMPILER ${KESTREL_ARM_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${KESTREL_ARM_TRIPLE}-g++)

# Debian's armhf baseline is ARMv7 with VFPv3-D16 and no NEON; a board known to
# have NEON can take e.g. -DKESTREL_ARM_FLAGS=-mfpu=neon (the display flush's
# vector code then uses NEON registers).
set(KESTREL_ARM_FLAGS "" CACHE STRING "Extra code generation flags for the ARM target")
string(APPEND CMAKE_C_FLAGS_INIT " ${KESTREL_ARM_FLAGS}")
string(APPEND CMAKE_CXX_FLAGS_INIT " ${KESTREL_ARM_FLAGS}")

set(KESTREL_ARM_SYSROOT "${CMAKE_CURRENT_LIST_DIR}/../build/arm-sysroot" CACHE PATH
    "Unpacked armhf packages (FreeType and what it links); filled by tools/arm-sysroot")
get_filename_component(KESTREL_ARM_SYSROOT "${KESTREL_ARM_SYSROOT}" ABSOLUTE)
set(KESTREL_ARM_LIBC_ROOT /usr/${KESTREL_ARM_TRIPLE})

# Libraries and headers only from the ARM trees; programs (pkg-config, qemu)
# from the host.
set(CMAKE_FIND_ROOT_PATH ${KESTREL_ARM_SYSROOT} ${KESTREL_ARM_LIBC_ROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_LIBRARY_ARCHITECTURE ${KESTREL_ARM_TRIPLE})
# The host's .pc files describe host libraries: keep pkg-config out of them.
set(ENV{PKG_CONFIG_LIBDIR} "${KESTREL_ARM_SYSROOT}/usr/lib/${KESTREL_ARM_TRIPLE}/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "${KESTREL_ARM_SYSROOT}")

# libfreetype.so needs libpng16, zlib and brotli at link time.
set(kestrel_arm_libdirs
    ${KESTREL_ARM_SYSROOT}/usr/lib/${KESTREL_ARM_TRIPLE}
    ${KESTREL_ARM_SYSROOT}/lib/${KESTREL_ARM_TRIPLE})
foreach(dir ${kestrel_arm_libdirs})
  string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -Wl,-rpath-link,${dir}")
  string(APPEND CMAKE_SHARED_LINKER_FLAGS_INIT " -Wl,-rpath-link,${dir}")
endforeach()

# qemu-arm finds the ARM dynamic loader and C library under -L; the
# sysroot's libraries by LD_LIBRARY_PATH, given to the ARM program only.
# KESTREL_QEMU tells tests that the program cannot exec itself again.
find_program(KESTREL_QEMU_ARM NAMES qemu-arm qemu-arm-static REQUIRED)
list(JOIN kestrel_arm_libdirs ":" kestrel_arm_ld_path)
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${KESTREL_QEMU_ARM} -L ${KESTREL_ARM_LIBC_ROOT} -E LD_LIBRARY_PATH=${kestrel_arm_ld_path}
    -E KESTREL_QEMU=1)
