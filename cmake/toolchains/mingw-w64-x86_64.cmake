# Cross build for Windows x64 with Debian's MinGW-w64 (posix thread model, so that
# std::thread and friends work; JUCE itself uses Win32 threads either way).

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QV_MINGW_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER   ${QV_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QV_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${QV_MINGW_TRIPLE}-windres)

# Static libpng and libjpeg-turbo built by tools/build_mingw_deps.sh; zlib comes from
# Debian's libz-mingw-w64-dev under the MinGW sysroot.
if(NOT QV_MINGW_DEPS_PREFIX)
    if(DEFINED ENV{QV_MINGW_DEPS_PREFIX})
        set(QV_MINGW_DEPS_PREFIX "$ENV{QV_MINGW_DEPS_PREFIX}")
    elseif(DEFINED ENV{XDG_CACHE_HOME} AND NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
        set(QV_MINGW_DEPS_PREFIX "$ENV{XDG_CACHE_HOME}/qv-mingw-deps")
    else()
        set(QV_MINGW_DEPS_PREFIX "$ENV{HOME}/.cache/qv-mingw-deps")
    endif()
endif()
set(QV_MINGW_DEPS_PREFIX "${QV_MINGW_DEPS_PREFIX}" CACHE PATH "Prefix holding the static MinGW builds of libpng and libjpeg-turbo")

# try_compile projects read this file again without our cache.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QV_MINGW_DEPS_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/${QV_MINGW_TRIPLE} "${QV_MINGW_DEPS_PREFIX}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The sysroot also holds libz.dll.a, which find_library would otherwise prefer.
set(ZLIB_USE_STATIC_LIBS ON)
