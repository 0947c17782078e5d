# Cross-compiles the Windows x64 build with MinGW-w64 (posix threads) on Debian:
#   cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
# Programs and the plug-in link the GCC runtime, libstdc++ and winpthread statically, so that they
# run under Wine without any MinGW DLL next to them. Built programs run through scripts/wine-run.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(KELVANE_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KELVANE_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KELVANE_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KELVANE_MINGW_PREFIX}-windres)
set(CMAKE_OBJDUMP ${KELVANE_MINGW_PREFIX}-objdump CACHE FILEPATH "objdump of the MinGW-w64 binutils")

set(CMAKE_FIND_ROOT_PATH /usr/${KELVANE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Executables: everything static. The plug-in DLL: static GCC runtime and libstdc++, and -static so
# that winpthread (which the posix libstdc++ pulls in at the very end of the link line) comes from
# libwinpthread.a rather than libwinpthread-1.dll. The system DLLs are still imported as usual (their
# import libraries are archives); the .def file keeps the static runtimes out of the export table.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${CMAKE_SHARED_LINKER_FLAGS_INIT}")

# Built Windows programs (tests) run under Wine. The wrapper uses the WINEPREFIX and DISPLAY it is
# given (scripts/test.sh sets both); without them it makes a prefix in this build tree and runs
# under a private Xvfb.
get_filename_component(KELVANE_SOURCE_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR
    "${KELVANE_SOURCE_ROOT}/scripts/wine-run.sh;--default-prefix=${CMAKE_BINARY_DIR}/wine-prefix")
