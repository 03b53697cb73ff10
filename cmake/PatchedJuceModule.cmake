# qv_patch_juce_module (<module> PATCHES <file>...)
#
# Compiles the JUCE module <module> from a patched copy in the build folder (juce_modules/<module>;
# patch -p1 from the module's folder), leaving Debian's modules in JUCE_MODULES_DIR untouched: the
# module's target takes its sources and include folder from the copy, so the library that
# qv_add_juce_library compiles from the module is built from the copy. Code that uses that library
# may still find the module's headers in Debian's folder first (it is every other module's include
# folder), so a patch may change .cpp files only. The copy is made again when a patch or a file of
# the original module changes; a patch that does not apply exactly fails the configure step.

include_guard(GLOBAL)

find_program(QV_PATCH_PROGRAM patch REQUIRED)

function(qv_patch_juce_module module)
    cmake_parse_arguments(PARSE_ARGV 1 ARG "" "" "PATCHES")
    foreach(patch IN LISTS ARG_PATCHES)
        file(STRINGS "${patch}" patched_files REGEX "^\\+\\+\\+ ")
        list(FILTER patched_files EXCLUDE REGEX "\\.cpp([\t ]|$)")
        if(patched_files)
            message(FATAL_ERROR "${patch} changes more than .cpp files: ${patched_files}")
        endif()
    endforeach()

    set(original "${JUCE_MODULES_DIR}/${module}")
    set(modules_dir "${CMAKE_BINARY_DIR}/juce_modules")
    set(copy "${modules_dir}/${module}")
    set(stamp_file "${modules_dir}/${module}.stamp")

    # What the copy was made from: remade only when this changes, as a fresh copy recompiles the module.
    file(GLOB_RECURSE module_files LIST_DIRECTORIES FALSE "${original}/*")
    list(SORT module_files)
    set(stamp "")
    foreach(file IN LISTS ARG_PATCHES module_files)
        file(SHA256 "${file}" hash)
        string(APPEND stamp "${hash} ${file}\n")
    endforeach()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ARG_PATCHES} ${module_files})

    set(made_from "")
    if(EXISTS "${stamp_file}" AND IS_DIRECTORY "${copy}")
        file(READ "${stamp_file}" made_from)
    endif()
    if(NOT made_from STREQUAL stamp)
        message(STATUS "Patching a copy of ${module} in ${modules_dir}")
        file(REMOVE_RECURSE "${copy}" "${stamp_file}")
        file(COPY "${original}" DESTINATION "${modules_dir}")
        foreach(patch IN LISTS ARG_PATCHES)
            execute_process(
                COMMAND "${QV_PATCH_PROGRAM}" --batch --forward --fuzz=0 --no-backup-if-mismatch
                        -p1 -d "${copy}" -i "${patch}"
                RESULT_VARIABLE result
                OUTPUT_VARIABLE output
                ERROR_VARIABLE output)
            if(NOT result EQUAL 0)
                file(REMOVE_RECURSE "${copy}")
                message(FATAL_ERROR "${patch} does not apply to ${original}:\n${output}")
            endif()
        endforeach()
        file(WRITE "${stamp_file}" "${stamp}")
    endif()

    foreach(property INTERFACE_SOURCES INTERFACE_INCLUDE_DIRECTORIES
                     INTERFACE_JUCE_MODULE_SOURCES INTERFACE_JUCE_MODULE_HEADERS INTERFACE_JUCE_MODULE_PATH)
        get_target_property(value ${module} ${property})
        if(value)
            string(REPLACE "${JUCE_MODULES_DIR}" "${modules_dir}" value "${value}")
            set_property(TARGET ${module} PROPERTY ${property} "${value}")
        endif()
    endforeach()
endfunction()
