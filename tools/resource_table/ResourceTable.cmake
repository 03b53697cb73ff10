# qv_add_resource_table (<target> NAMESPACE <ns> HEADER <name.h> FILES <file>... [DEPENDS <target>...])
#
# Embeds each file as a read-only byte array with the interface of JUCE's binary-data generator
# (a named pointer, a named size constant, namedResourceList, originalFilenames, getNamedResource),
# but through the assembler's .incbin: JUCE's generator writes every byte as C++ source, which costs
# about a minute and gigabytes of compiler memory per 20 MB archive; .incbin costs a fraction of a
# second. Works with GCC on ELF and with MinGW-w64 on COFF.

set(QV_RESOURCE_TABLE_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/generate.cmake")

function(qv_add_resource_table target)
    cmake_parse_arguments(ARG "" "NAMESPACE;HEADER" "FILES;DEPENDS" ${ARGN})

    set(out_dir "${CMAKE_CURRENT_BINARY_DIR}/${target}")
    set(header "${out_dir}/${ARG_HEADER}")
    set(source "${out_dir}/${target}.cpp")
    set(assembly "${out_dir}/${target}.S")

    add_custom_command(
        OUTPUT "${header}" "${source}" "${assembly}"
        COMMAND "${CMAKE_COMMAND}"
                "-DNAMESPACE=${ARG_NAMESPACE}"
                "-DHEADER=${header}"
                "-DSOURCE=${source}"
                "-DASSEMBLY=${assembly}"
                "-DFILES=${ARG_FILES}"
                -P "${QV_RESOURCE_TABLE_SCRIPT}"
        DEPENDS ${ARG_FILES} "${QV_RESOURCE_TABLE_SCRIPT}" ${ARG_DEPENDS}
        COMMENT "Generating resource table ${target}"
        VERBATIM)

    add_library(${target} STATIC "${source}" "${assembly}" "${header}")
    target_include_directories(${target} PUBLIC "${out_dir}")
    # The assembler does not report .incbin inputs, so name them as the object's dependencies:
    # a changed resource file reassembles the table even when the generated files stay the same.
    set_source_files_properties("${assembly}" PROPERTIES OBJECT_DEPENDS "${ARG_FILES}")
    if(ARG_DEPENDS)
        add_dependencies(${target} ${ARG_DEPENDS})
    endif()
endfunction()
