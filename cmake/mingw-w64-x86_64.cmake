# Cross-builds the Windows programs (64-bit) with mingw-w64 on Linux:
#   cmake -S . -B build-windows --toolchain cmake/mingw-w64-x86_64.cmake -DROMCOMPILER_WITH_UI=OFF
# The posix thread model compilers give std::thread and std::mutex; -static links their runtime, so the
# .exe needs no DLL beside it. ctest runs the test programs under wine, headless and in a prefix of the
# build folder's own, so a user's ~/.wine is never touched.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(romc_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${romc_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${romc_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${romc_mingw}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${romc_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(ZLIB_USE_STATIC_LIBS ON)

find_program(romc_wine NAMES wine wine64)
if(romc_wine)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${CMAKE_COMMAND} -E env WINEDEBUG=-all WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix WINEDLLOVERRIDES=mscoree,mshtml=
      ${romc_wine})
endif()
