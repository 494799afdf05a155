# Cross build of the 64-bit Windows DLL with Debian's mingw-w64 tool chain.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VIRLEX_MINGW_PREFIX x86_64-w64-mingw32)

set(CMAKE_C_COMPILER   ${VIRLEX_MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${VIRLEX_MINGW_PREFIX}-g++)
set(CMAKE_RC_COMPILER  ${VIRLEX_MINGW_PREFIX}-windres)

# Extra root for libraries built for the cross build (the static libpng of
# tools/build-mingw-libpng.sh x86_64).
if(NOT DEFINED VIRLEX_MINGW_EXTRA_ROOT)
  set(VIRLEX_MINGW_EXTRA_ROOT /opt/virlex-mingw64)
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${VIRLEX_MINGW_PREFIX} ${VIRLEX_MINGW_EXTRA_ROOT})
# The sysroot has both libz.a and an import library for zlib1.dll; the DLL must
# not depend on the latter.
set(ZLIB_USE_STATIC_LIBS ON)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The DLL and the host tool must need nothing beyond system DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
