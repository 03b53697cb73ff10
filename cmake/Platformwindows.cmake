# Windows (MinGW-w64 cross build): Debian's JUCE headers expect zlib, libpng and libjpeg from the
# system, so static MinGW builds of them are linked in; the runtime is linked statically too, so
# that qv_installer.exe runs without any MinGW DLL next to it.

set(QV_WINDOWS_RESOURCE_DIR "${CMAKE_CURRENT_LIST_DIR}/../app/windows")
set(QV_MAKE_ICO_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/../tools/make_ico.py")
set(QV_MINGW_DEPS_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/../tools/build_mingw_deps.sh")

option(QV_BUILD_MINGW_DEPS "Build the static MinGW libpng and libjpeg-turbo into QV_MINGW_DEPS_PREFIX when missing" ON)

if(NOT QV_MINGW_DEPS_PREFIX)
    message(FATAL_ERROR "QV_MINGW_DEPS_PREFIX is not set: configure with the toolchain file "
                        "cmake/toolchains/mingw-w64-x86_64.cmake (cmake --preset windows)")
endif()

# Cheap once the prefix is complete: the script then only checks its stamp.
if(QV_BUILD_MINGW_DEPS)
    message(STATUS "Static MinGW libpng and libjpeg-turbo in ${QV_MINGW_DEPS_PREFIX} (built on first use, a few minutes)")
    execute_process(
        COMMAND "${QV_MINGW_DEPS_SCRIPT}" "${QV_MINGW_DEPS_PREFIX}"
        RESULT_VARIABLE qv_mingw_deps_result)
    if(NOT qv_mingw_deps_result EQUAL 0)
        message(FATAL_ERROR "tools/build_mingw_deps.sh failed (${qv_mingw_deps_result}); see its output above")
    endif()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${QV_MINGW_DEPS_SCRIPT}")
endif()

find_package(ZLIB REQUIRED)
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)

if(NOT DEFINED Python3_EXECUTABLE)
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
endif()

enable_language(RC)

# QV_SIGN_PKCS12 and friends: Authenticode signing of the program after linking, off by default.
include("${CMAKE_CURRENT_LIST_DIR}/CodeSigning.cmake")

# JUCE 7.0.5 crashes at the first window where DXGI is unavailable (some virtual machines and
# remote sessions, Wine without OpenGL): it enumerates the adapters of a DXGI factory it never
# checked it got. The patched module keeps no adapters then; the program repaints without vertical
# blanks anyway (app/windows/WindowRepaintWindows.cpp).
include("${CMAKE_CURRENT_LIST_DIR}/PatchedJuceModule.cmake")
qv_patch_juce_module(juce_gui_basics
    PATCHES "${CMAKE_CURRENT_LIST_DIR}/patches/juce_gui_basics-without-dxgi.patch")

function(qv_platform_link_juce_deps target)
    target_link_libraries(${target} PUBLIC PNG::PNG JPEG::JPEG ZLIB::ZLIB)
    # JUCE 7 has no DirectWrite code for MinGW (it warns and drops it); text is drawn through GDI.
    target_compile_definitions(${target} PUBLIC JUCE_USE_DIRECTWRITE=0)
    target_link_options(${target} PUBLIC -static -static-libgcc -static-libstdc++)
endfunction()

# The manifest, the two icon groups and the version block, compiled in an object library of their
# own so that windres sees none of JUCE's definitions and include folders; the Windows side of the
# application's windowing; and the program's signature when a certificate is configured.
function(qv_platform_add_app_resources target)
    target_sources(${target} PRIVATE
        "${PROJECT_SOURCE_DIR}/app/WindowRepaint.h"
        "${QV_WINDOWS_RESOURCE_DIR}/WindowRepaintWindows.cpp")

    set(out_dir "${CMAKE_CURRENT_BINARY_DIR}/${target}_resources")
    set(icon "${out_dir}/${target}.ico")
    set(manifest "${QV_WINDOWS_RESOURCE_DIR}/qv_installer.manifest")
    set(script "${out_dir}/${target}.rc")

    add_custom_command(
        OUTPUT "${icon}"
        COMMAND "${Python3_EXECUTABLE}" "${QV_MAKE_ICO_SCRIPT}" app "${icon}"
        DEPENDS "${QV_MAKE_ICO_SCRIPT}"
        COMMENT "Drawing the program icon ${target}.ico"
        VERBATIM)

    set(QV_RC_MANIFEST "${manifest}")
    set(QV_RC_ICON "${icon}")
    set(QV_RC_VERSION_COMMAS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
    configure_file("${QV_WINDOWS_RESOURCE_DIR}/qv_installer.rc.in" "${script}" @ONLY)

    # The icon is listed as a source so that its command runs in this target's build.
    add_library(${target}_resources OBJECT "${script}" "${icon}")
    # windres does not report the files a script pulls in.
    set_source_files_properties("${script}" PROPERTIES OBJECT_DEPENDS "${icon};${manifest}")
    target_link_libraries(${target} PRIVATE ${target}_resources)
    # For the test that compares the executable's icons with the generated file.
    set_target_properties(${target} PROPERTIES QV_PROGRAM_ICON "${icon}")
    qv_sign_after_link(${target})
endfunction()
