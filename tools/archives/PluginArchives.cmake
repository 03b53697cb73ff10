# qv_add_plugin_archives (<target> PLATFORM <linux|windows> OUTPUT_DIR <dir>
#                         [PRODUCT_NAME <name>] [PRODUCT_VERSION <x.y.z>] [MODULE_VERSION <a.b.c.d>])
#
# Builds the three archives the installer embeds, <dir>/aax.zip, clap.zip and vst3.zip, under the
# custom target <target>, and sets <target>_ARCHIVES (aax, clap, vst3) and <target>_PLATFORM in the
# caller's scope. Each archive holds a stand-in plug-in module built from resources/plugins/, or the
# maker's own bundle named by QV_VST3_BUNDLE, QV_CLAP_BUNDLE or QV_AAX_BUNDLE.
#
# On a Linux build with QV_WINDOWS_CHECK_ARCHIVES on and MinGW-w64 installed, the target
# <target>_windows also builds the Windows archives into <dir>/windows, so that their layout can be
# tested without a Windows build; QV_WINDOWS_ARCHIVES_DIR and <target>_WINDOWS_ARCHIVES are then set.

include_guard(GLOBAL)

# The product these steps build for, unless their caller names another.
include("${CMAKE_CURRENT_LIST_DIR}/../../cmake/product/Product.cmake")

find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(QV_VST3_BUNDLE "" CACHE PATH "A built <product>.vst3 bundle folder to pack instead of the stand-in module")
set(QV_CLAP_BUNDLE "" CACHE FILEPATH "A built <product>.clap file to pack instead of the stand-in module")
set(QV_AAX_BUNDLE "" CACHE PATH "A built <product>.aaxplugin bundle folder to pack instead of the stand-in module")
option(QV_REALISTIC_ARCHIVES "Pad the stand-in modules to the product's sizes, for benchmarks" OFF)
option(QV_WINDOWS_CHECK_ARCHIVES "On Linux, also build the Windows archives (needs MinGW-w64) so they can be tested" ON)

cmake_path(SET QV_PLUGIN_SOURCES_DIR NORMALIZE "${CMAKE_CURRENT_LIST_DIR}/../../resources/plugins")
cmake_path(SET QV_PLUGIN_TOOLS_DIR NORMALIZE "${CMAKE_CURRENT_LIST_DIR}/..")

# The real product's module sizes, which realistic mode reproduces exactly.
set(_qv_realistic_size_vst3 33325024)
set(_qv_realistic_size_clap 32989152)
set(_qv_realistic_size_aax 33112152)

# Picks a C compiler command (as a list) for the stand-in modules. When the build's own language is
# only C++, the C++ driver compiles C with "-x c".
function(_qv_build_c_compiler out_var)
    if(CMAKE_C_COMPILER)
        set(${out_var} "${CMAKE_C_COMPILER}" PARENT_SCOPE)
    elseif(CMAKE_CXX_COMPILER)
        set(${out_var} "${CMAKE_CXX_COMPILER};-x;c" PARENT_SCOPE)
    else()
        message(FATAL_ERROR "The plug-in archives need a C or C++ compiler; enable C or CXX before including PluginArchives.cmake")
    endif()
endfunction()

# Finds the MinGW-w64 compiler and resource compiler: the build's own in a cross build to Windows,
# otherwise the ones installed next to the native toolchain. Sets both to "" when not found.
function(_qv_find_windows_compilers cc_var rc_var)
    if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
        if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND NOT CMAKE_C_COMPILER_ID STREQUAL "GNU")
            message(FATAL_ERROR "The Windows plug-in modules are built with MinGW-w64 (GCC); this build uses ${CMAKE_CXX_COMPILER_ID}")
        endif()
        _qv_build_c_compiler(cc)
        set(rc "${CMAKE_RC_COMPILER}")
        if(NOT rc)
            find_program(QV_MINGW_WINDRES NAMES x86_64-w64-mingw32-windres windres)
            set(rc "${QV_MINGW_WINDRES}")
        endif()
    else()
        find_program(QV_MINGW_C_COMPILER NAMES x86_64-w64-mingw32-gcc-posix x86_64-w64-mingw32-gcc)
        find_program(QV_MINGW_WINDRES NAMES x86_64-w64-mingw32-windres)
        set(cc "${QV_MINGW_C_COMPILER}")
        set(rc "${QV_MINGW_WINDRES}")
    endif()

    if(NOT cc OR NOT rc)
        set(cc "")
        set(rc "")
    endif()
    set(${cc_var} "${cc}" PARENT_SCOPE)
    set(${rc_var} "${rc}" PARENT_SCOPE)
endfunction()

# Adds the commands that build one platform's three archives into output_dir; returns their paths
# (aax, clap, vst3) in out_var. USE_MAKER_BUNDLES lets the QV_*_BUNDLE variables replace stand-ins,
# REALISTIC pads the stand-in modules.
function(_qv_add_archive_set)
    cmake_parse_arguments(PARSE_ARGV 0 ARG "USE_MAKER_BUNDLES;REALISTIC"
        "PLATFORM;OUTPUT_DIR;WORK_DIR;PRODUCT_NAME;PRODUCT_VERSION;MODULE_VERSION;RC_COMPILER;OUT_VAR" "C_COMPILER")

    set(sources "${QV_PLUGIN_SOURCES_DIR}")
    set(packer "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/pack_plugin_archive.py")
    set(padder "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/pad_plugin_module.py")
    set(name "${ARG_PRODUCT_NAME}")
    set(work "${ARG_WORK_DIR}")
    file(MAKE_DIRECTORY "${work}" "${ARG_OUTPUT_DIR}")

    if(ARG_PLATFORM STREQUAL "windows")
        # No timestamp and a fixed image base (ld derives one from the output path otherwise), so
        # that the same sources give the same archive bytes in any build folder.
        set(link_flags -shared -O2 -s -static-libgcc -Wl,--subsystem,windows -Wl,--no-insert-timestamp
            -Wl,--image-base,0x180000000)
        set(module_platform WINDOWS)
    else()
        set(link_flags -shared -fPIC -O2 -s -fvisibility=hidden -Wl,-z,defs)
        set(module_platform LINUX)
    endif()
    set(compile_flags -std=c11 -Wall -Wextra -Werror)

    # Windows version resources carry the module file version, four numbers.
    string(REPLACE "." ";" version_parts "${ARG_MODULE_VERSION}")
    list(LENGTH version_parts version_count)
    while(version_count LESS 4)
        list(APPEND version_parts 0)
        list(LENGTH version_parts version_count)
    endwhile()
    list(JOIN version_parts "," QV_VERSION_COMMAS)
    list(JOIN version_parts "." QV_VERSION_DOTS)
    set(QV_PRODUCT_NAME "${name}")
    set(QV_PRODUCT_VERSION "${ARG_PRODUCT_VERSION}")

    if(ARG_PLATFORM STREQUAL "windows")
        set(desktop_ini "${sources}/desktop.ini")
        set(plugin_ico "${work}/Plugin.ico")
        add_custom_command(
            OUTPUT "${plugin_ico}"
            COMMAND "${Python3_EXECUTABLE}" "${QV_PLUGIN_TOOLS_DIR}/make_ico.py" plugin "${plugin_ico}"
            DEPENDS "${QV_PLUGIN_TOOLS_DIR}/make_ico.py"
            COMMENT "Drawing the bundle icon Plugin.ico"
            VERBATIM)
    endif()

    set(moduleinfo "${work}/moduleinfo.json")
    configure_file("${sources}/moduleinfo.json.in" "${moduleinfo}" @ONLY NEWLINE_STYLE CRLF)

    set(archives "")
    foreach(format IN ITEMS aax clap vst3)
        string(TOUPPER "${format}" FORMAT)
        set(format_work "${work}/${format}")
        set(archive "${ARG_OUTPUT_DIR}/${format}.zip")
        # The bundle's layout, from the format table (cmake/product/FormatTable.cmake).
        set(bundle "${name}${QV_FORMAT_${FORMAT}_EXTENSION}")
        set(bundle_is_folder ${QV_FORMAT_${FORMAT}_FOLDER})
        string(REPLACE "{name}" "${name}" module_path "${QV_FORMAT_${FORMAT}_${module_platform}_MODULE}")
        list(APPEND archives "${archive}")

        set(maker_bundle "")
        if(ARG_USE_MAKER_BUNDLES)
            set(maker_bundle "${QV_${FORMAT}_BUNDLE}")
        endif()

        if(maker_bundle)
            if(NOT EXISTS "${maker_bundle}")
                message(FATAL_ERROR "QV_${FORMAT}_BUNDLE names '${maker_bundle}', which does not exist")
            endif()
            if(IS_DIRECTORY "${maker_bundle}")
                file(GLOB_RECURSE bundle_files LIST_DIRECTORIES false CONFIGURE_DEPENDS "${maker_bundle}/*")
            else()
                set(bundle_files "${maker_bundle}")
            endif()
            add_custom_command(
                OUTPUT "${archive}"
                COMMAND "${Python3_EXECUTABLE}" "${packer}" --bundle-name "${bundle}" "${maker_bundle}" "${archive}"
                DEPENDS ${bundle_files} "${packer}"
                COMMENT "Packing ${maker_bundle} into ${archive}"
                VERBATIM)
            continue()
        endif()

        # The stand-in module: the bundle itself when the bundle is a single file.
        if(NOT bundle_is_folder)
            set(module_path "${bundle}")
        endif()
        cmake_path(GET module_path FILENAME module_name)
        set(module "${format_work}/${module_name}")
        set(module_inputs "${sources}/${format}_module.c")

        if(ARG_PLATFORM STREQUAL "windows" AND QV_FORMAT_${FORMAT}_WINDOWS_VERSIONED)
            set(QV_FORMAT_NAME "${FORMAT}")
            set(QV_MODULE_FILE_NAME "${module_name}")
            configure_file("${sources}/module_version.rc.in" "${format_work}/version.rc" @ONLY)
            list(GET ARG_C_COMPILER 0 preprocessor)
            add_custom_command(
                OUTPUT "${format_work}/version.o"
                COMMAND "${ARG_RC_COMPILER}" "--preprocessor=${preprocessor}" --preprocessor-arg=-E
                        --preprocessor-arg=-xc --preprocessor-arg=-DRC_INVOKED
                        --input-format=rc --output-format=coff
                        -i "${format_work}/version.rc" -o "${format_work}/version.o"
                DEPENDS "${format_work}/version.rc"
                COMMENT "Compiling the ${FORMAT} version resource"
                VERBATIM)
            list(APPEND module_inputs "${format_work}/version.o")
        endif()

        add_custom_command(
            OUTPUT "${module}"
            COMMAND ${ARG_C_COMPILER} ${compile_flags} ${link_flags} -o "${module}" ${module_inputs}
            DEPENDS ${module_inputs} "${sources}/plugin_export.h"
            COMMENT "Building the ${ARG_PLATFORM} ${FORMAT} stand-in module"
            VERBATIM)

        if(ARG_REALISTIC)
            set(padded "${format_work}/padded/${module_name}")
            # A distinct seed per format keeps the three archives from sharing content.
            list(FIND archives "${archive}" seed)
            add_custom_command(
                OUTPUT "${padded}"
                COMMAND "${Python3_EXECUTABLE}" "${padder}" --size ${_qv_realistic_size_${format}} --seed ${seed}
                        "${module}" "${padded}"
                DEPENDS "${module}" "${padder}"
                COMMENT "Padding the ${FORMAT} module to its realistic size"
                VERBATIM)
            set(module "${padded}")
        endif()

        # The bundle is assembled afresh for every pack, so nothing stale from an earlier layout
        # (another mode, a renamed file) can end up in the archive.
        set(stage "${format_work}/stage")
        set(stage_commands
            COMMAND "${CMAKE_COMMAND}" -E rm -rf "${stage}"
            COMMAND "${CMAKE_COMMAND}" -E make_directory "${stage}")
        set(stage_inputs "${module}")

        if(NOT bundle_is_folder)
            list(APPEND stage_commands COMMAND "${CMAKE_COMMAND}" -E copy "${module}" "${stage}/${bundle}")
        else()
            cmake_path(GET module_path PARENT_PATH module_folder)
            list(APPEND stage_commands
                COMMAND "${CMAKE_COMMAND}" -E make_directory "${stage}/${bundle}/${module_folder}"
                COMMAND "${CMAKE_COMMAND}" -E copy "${module}" "${stage}/${bundle}/${module_path}")

            if(format STREQUAL "vst3")
                list(APPEND stage_commands
                    COMMAND "${CMAKE_COMMAND}" -E make_directory "${stage}/${bundle}/Contents/Resources"
                    COMMAND "${CMAKE_COMMAND}" -E copy "${moduleinfo}" "${stage}/${bundle}/Contents/Resources/moduleinfo.json")
                list(APPEND stage_inputs "${moduleinfo}")
            endif()

            if(ARG_PLATFORM STREQUAL "windows")
                # Shell files that give the bundle folder its icon in Explorer.
                list(APPEND stage_commands
                    COMMAND "${CMAKE_COMMAND}" -E copy "${desktop_ini}" "${stage}/${bundle}/desktop.ini"
                    COMMAND "${CMAKE_COMMAND}" -E copy "${plugin_ico}" "${stage}/${bundle}/Plugin.ico")
                list(APPEND stage_inputs "${desktop_ini}" "${plugin_ico}")
            endif()
        endif()

        add_custom_command(
            OUTPUT "${archive}"
            ${stage_commands}
            COMMAND "${Python3_EXECUTABLE}" "${packer}" --bundle-name "${bundle}" "${stage}/${bundle}" "${archive}"
            DEPENDS ${stage_inputs} "${packer}"
            COMMENT "Packing the ${ARG_PLATFORM} ${FORMAT} archive ${archive}"
            VERBATIM)
    endforeach()

    set(${ARG_OUT_VAR} "${archives}" PARENT_SCOPE)
endfunction()

function(qv_add_plugin_archives target)
    cmake_parse_arguments(PARSE_ARGV 1 ARG "" "PLATFORM;OUTPUT_DIR;PRODUCT_NAME;PRODUCT_VERSION;MODULE_VERSION" "")

    if(NOT ARG_PLATFORM MATCHES "^(linux|windows)$")
        message(FATAL_ERROR "qv_add_plugin_archives: PLATFORM must be linux or windows, not '${ARG_PLATFORM}'")
    endif()
    if(NOT ARG_OUTPUT_DIR)
        message(FATAL_ERROR "qv_add_plugin_archives: OUTPUT_DIR is required")
    endif()
    qv_default_to_product(ARG PRODUCT_NAME PRODUCT_VERSION MODULE_VERSION)

    set(realistic "")
    if(QV_REALISTIC_ARCHIVES)
        set(realistic REALISTIC)
    endif()

    set(common_args PRODUCT_NAME "${ARG_PRODUCT_NAME}" PRODUCT_VERSION "${ARG_PRODUCT_VERSION}" MODULE_VERSION "${ARG_MODULE_VERSION}")

    if(ARG_PLATFORM STREQUAL "windows")
        _qv_find_windows_compilers(cc rc)
        if(NOT cc)
            message(FATAL_ERROR "The Windows plug-in modules need MinGW-w64 (x86_64-w64-mingw32-gcc and -windres)")
        endif()
    else()
        if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
            message(FATAL_ERROR "qv_add_plugin_archives: the linux archives need a native Linux build")
        endif()
        _qv_build_c_compiler(cc)
        set(rc "")
    endif()

    _qv_add_archive_set(
        PLATFORM "${ARG_PLATFORM}"
        OUTPUT_DIR "${ARG_OUTPUT_DIR}"
        WORK_DIR "${CMAKE_CURRENT_BINARY_DIR}/${target}"
        C_COMPILER ${cc}
        RC_COMPILER "${rc}"
        USE_MAKER_BUNDLES ${realistic}
        ${common_args}
        OUT_VAR archives)

    add_custom_target(${target} ALL DEPENDS ${archives})
    set(${target}_ARCHIVES "${archives}" PARENT_SCOPE)
    set(${target}_PLATFORM "${ARG_PLATFORM}" PARENT_SCOPE)

    if(ARG_PLATFORM STREQUAL "linux" AND QV_WINDOWS_CHECK_ARCHIVES)
        _qv_find_windows_compilers(windows_cc windows_rc)
        if(NOT windows_cc)
            message(STATUS "MinGW-w64 not found: the Windows plug-in archives are not built for checking")
            return()
        endif()

        set(windows_dir "${ARG_OUTPUT_DIR}/windows")
        _qv_add_archive_set(
            PLATFORM windows
            OUTPUT_DIR "${windows_dir}"
            WORK_DIR "${CMAKE_CURRENT_BINARY_DIR}/${target}_windows"
            C_COMPILER ${windows_cc}
            RC_COMPILER "${windows_rc}"
            ${common_args}
            OUT_VAR windows_archives)

        add_custom_target(${target}_windows ALL DEPENDS ${windows_archives})
        set(${target}_WINDOWS_ARCHIVES "${windows_archives}" PARENT_SCOPE)
        set(QV_WINDOWS_ARCHIVES_DIR "${windows_dir}" PARENT_SCOPE)
    endif()
endfunction()
