# Each plug-in format's facts, stated once in catalogue/formats.json by format index: name,
# extension, whether the bundle is a folder, the module's path inside it per platform ("{name}" is
# the bundle's name without extension), whether the Windows module carries a version resource, and
# where a Linux bundle states its version. The build's packer takes its bundle layouts from the
# QV_FORMAT_<NAME>_* variables set here; qv_add_format_table() generates the C++ table the
# installer's detection, version reading and the build check use.

include_guard(GLOBAL)

set(_qv_formats_file "${CMAKE_CURRENT_LIST_DIR}/../../catalogue/formats.json")
cmake_path(NORMAL_PATH _qv_formats_file)
file(READ "${_qv_formats_file}" _qv_formats_json)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${_qv_formats_file}")

set(_qv_format_fields name extension bundleIsFolder windowsModule linuxModule windowsModuleHasVersion linuxVersionFile)
set(_qv_format_variables NAME EXTENSION FOLDER WINDOWS_MODULE LINUX_MODULE WINDOWS_VERSIONED LINUX_VERSION_FILE)

string(JSON _qv_format_count LENGTH "${_qv_formats_json}" formats)
if(NOT _qv_format_count EQUAL 3)
    message(FATAL_ERROR "${_qv_formats_file}: the installer has three formats, not ${_qv_format_count}")
endif()

set(_qv_format_rows "")
math(EXPR _qv_last_format "${_qv_format_count} - 1")
foreach(index RANGE ${_qv_last_format})
    string(JSON format_name GET "${_qv_formats_json}" formats ${index} name)
    string(TOUPPER "${format_name}" FORMAT)
    set(row "")
    foreach(field variable IN ZIP_LISTS _qv_format_fields _qv_format_variables)
        string(JSON value GET "${_qv_formats_json}" formats ${index} ${field})
        set(QV_FORMAT_${FORMAT}_${variable} "${value}")
        # string(JSON) gives a boolean as ON or OFF.
        if(value STREQUAL "ON")
            set(literal true)
        elseif(value STREQUAL "OFF")
            set(literal false)
        else()
            set(literal "\"${value}\"")
        endif()
        list(APPEND row "${literal}")
    endforeach()
    list(JOIN row ", " row)
    string(APPEND _qv_format_rows "    { ${row} },\n")
endforeach()

# Generates FormatTable.cpp for <target> (the declarations are catalogue/FormatTable.h).
function(qv_add_format_table target)
    set(out "${CMAKE_BINARY_DIR}/product/FormatTable.cpp")
    file(WRITE "${out}.new"
"#include \"catalogue/FormatTable.h\"

// Generated from ${_qv_formats_file} by cmake/product/FormatTable.cmake.
namespace qv
{
const std::array<FormatFacts, 3> formatTable { {
${_qv_format_rows}} };
}
")
    configure_file("${out}.new" "${out}" COPYONLY)
    file(REMOVE "${out}.new")
    target_sources(${target} PRIVATE "${out}")
endfunction()
