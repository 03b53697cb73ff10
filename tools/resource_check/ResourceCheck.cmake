# qv_add_resource_check (<target> PLATFORM <linux|windows> ARCHIVES <aax.zip> <clap.zip> <vst3.zip>
#                        FONTS <file>... ICONS <file>...
#                        [RECOLOURED <icon name>...] [PRODUCT_NAME <name>] [MODULE_VERSION <a.b.c.d>]
#                        [DEPENDS <target>...])
#
# Adds the custom target <target>, which runs qv_resource_check over the resources before they are
# embedded and fails the build, naming each resource and its problem, when an icon does not parse
# or a recoloured icon has no opaque black, a font does not load, or an archive does not open or
# breaks the layout the installer relies on (bundle-name prefix, no absolute or climbing names, no
# symbolic links, and on Windows the VST3 and AAX modules' file version). Make the resource table
# depend on <target>. RECOLOURED defaults to QV_RECOLOURED_ICONS, PRODUCT_NAME to the product's
# name and MODULE_VERSION to its module file version (cmake/product/Product.cmake). DEPENDS names the targets that produce the files.
#
# The tool runs on the build machine. A native build builds it (tools/resource_check must be added
# before this is called); a cross build cannot, and takes the path of one built by a native build
# from the cache variable QV_HOST_RESOURCE_CHECK.

include_guard(GLOBAL)

# The product these steps build for, unless their caller names another.
include("${CMAKE_CURRENT_LIST_DIR}/../../cmake/product/Product.cmake")

# The icons the program passes through replaceColour (black to the palette's icon colour). The
# envelope of icon_mail is deliberately near-black and the result-panel icons keep their colours.
set(QV_RECOLOURED_ICONS
    icon_vst3 icon_clap icon_aax icon_eula icon_manual icon_web icon_help icon_install icon_discord)

set(QV_HOST_RESOURCE_CHECK "" CACHE FILEPATH
    "Cross builds: qv_resource_check built for the build machine, e.g. build/linux/tools/resource_check/qv_resource_check")

# qv_resource_check_arguments (<out var> PLATFORM <linux|windows> ARCHIVES <aax.zip> <clap.zip> <vst3.zip>
#                              FONTS <file>... ICONS <file>... RECOLOURED <icon name>...)
# The tool's arguments for these resources, for the build's check and for tests that run the tool.
function(qv_resource_check_arguments out_var)
    cmake_parse_arguments(PARSE_ARGV 1 ARG "" "PLATFORM" "ARCHIVES;FONTS;ICONS;RECOLOURED")
    list(GET ARG_ARCHIVES 0 aax_zip)
    list(GET ARG_ARCHIVES 1 clap_zip)
    list(GET ARG_ARCHIVES 2 vst3_zip)
    set(args --platform ${ARG_PLATFORM} --archive "aax=${aax_zip}" --archive "clap=${clap_zip}" --archive "vst3=${vst3_zip}")
    foreach(font IN LISTS ARG_FONTS)
        list(APPEND args --font "${font}")
    endforeach()
    foreach(icon IN LISTS ARG_ICONS)
        list(APPEND args --icon "${icon}")
    endforeach()
    foreach(name IN LISTS ARG_RECOLOURED)
        list(APPEND args --recoloured ${name})
    endforeach()
    set(${out_var} ${args} PARENT_SCOPE)
endfunction()

function(qv_add_resource_check target)
    cmake_parse_arguments(PARSE_ARGV 1 ARG "" "PLATFORM;PRODUCT_NAME;MODULE_VERSION"
        "ARCHIVES;FONTS;ICONS;RECOLOURED;DEPENDS")

    if(NOT ARG_PLATFORM MATCHES "^(linux|windows)$")
        message(FATAL_ERROR "qv_add_resource_check: PLATFORM must be linux or windows, not '${ARG_PLATFORM}'")
    endif()
    list(LENGTH ARG_ARCHIVES archive_count)
    if(NOT archive_count EQUAL 3)
        message(FATAL_ERROR "qv_add_resource_check: ARCHIVES takes the aax, clap and vst3 archives, in that order")
    endif()
    if(NOT DEFINED ARG_RECOLOURED)
        set(ARG_RECOLOURED ${QV_RECOLOURED_ICONS})
    endif()
    qv_default_to_product(ARG PRODUCT_NAME MODULE_VERSION)

    if(CMAKE_CROSSCOMPILING)
        if(NOT QV_HOST_RESOURCE_CHECK OR NOT EXISTS "${QV_HOST_RESOURCE_CHECK}" OR IS_DIRECTORY "${QV_HOST_RESOURCE_CHECK}")
            message(FATAL_ERROR
                "A cross build checks its resources with qv_resource_check built for this machine, but "
                "QV_HOST_RESOURCE_CHECK ('${QV_HOST_RESOURCE_CHECK}') names no such program. Build it "
                "natively first (cmake --preset linux && cmake --build --preset linux --target qv_resource_check) "
                "and configure with -DQV_HOST_RESOURCE_CHECK=${PROJECT_SOURCE_DIR}/build/linux/tools/resource_check/qv_resource_check")
        endif()
        set(tool "${QV_HOST_RESOURCE_CHECK}")
    else()
        if(NOT TARGET qv_resource_check)
            message(FATAL_ERROR "qv_add_resource_check: add_subdirectory(tools/resource_check) must come before this call")
        endif()
        set(tool qv_resource_check)
    endif()

    qv_resource_check_arguments(args PLATFORM ${ARG_PLATFORM} ARCHIVES ${ARG_ARCHIVES}
        FONTS ${ARG_FONTS} ICONS ${ARG_ICONS} RECOLOURED ${ARG_RECOLOURED})
    list(APPEND args --product "${ARG_PRODUCT_NAME}" --module-version ${ARG_MODULE_VERSION})

    set(stamp "${CMAKE_CURRENT_BINARY_DIR}/${target}.stamp")
    list(APPEND args --stamp "${stamp}")

    # An executable target as COMMAND is replaced by its path and depended on; the host tool of a
    # cross build is a plain file, so a rebuilt tool reruns the check.
    add_custom_command(
        OUTPUT "${stamp}"
        COMMAND ${tool} ${args}
        DEPENDS ${ARG_ARCHIVES} ${ARG_FONTS} ${ARG_ICONS} ${tool} ${ARG_DEPENDS}
        COMMENT "Checking the ${ARG_PLATFORM} icons, fonts and plug-in archives"
        VERBATIM)
    add_custom_target(${target} DEPENDS "${stamp}")
endfunction()
