# Cross build for 64-bit Windows with Debian's mingw-w64 compilers. The posix thread model is
# the one whose C++ runtime has std::thread, which OpenAL Soft needs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# The bundled libraries live in one prefix below the build tree (scripts/windows-deps fills it).
set(SKYWALTZ_WINDOWS_PREFIX "${CMAKE_CURRENT_LIST_DIR}/../build-windows/deps/prefix"
    CACHE PATH "Where the cross-built libraries are installed")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SKYWALTZ_WINDOWS_PREFIX)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 "${SKYWALTZ_WINDOWS_PREFIX}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} "${SKYWALTZ_WINDOWS_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# The C and C++ runtimes and winpthread go into each binary, so a player needs no compiler DLLs.
# Libraries named without a path (SFML's "OpenGL32") are found in the prefix too.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -L${SKYWALTZ_WINDOWS_PREFIX}/lib")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${CMAKE_EXE_LINKER_FLAGS_INIT}")

# SFML is built as static libraries (scripts/windows-deps), and its package must say so.
set(SFML_STATIC_LIBRARIES TRUE)
# SFML's package looks for OpenAL under names that miss OpenAL Soft's import library.
set(OpenAL_LIB "${SKYWALTZ_WINDOWS_PREFIX}/lib/libOpenAL32.dll.a" CACHE FILEPATH "OpenAL's import library")
