# The product this installer carries, stated once in a description file (QV_PRODUCT, JSON): names,
# versions, links, the licence text, the settings note and where each format's bundle comes from.
# Reading it sets the QV_PRODUCT_* and QV_MAKER_* variables every other build step uses, and
# qv_add_product_facts() generates the constants the C++ catalogue compiles in. The default is
# resources/product/product.json; a maker builds their own installer with
#     cmake --preset linux -DQV_PRODUCT=path/to/their/product.json

include_guard(GLOBAL)

set(QV_PRODUCT "${CMAKE_CURRENT_LIST_DIR}/../../resources/product/product.json" CACHE FILEPATH
    "The product description (JSON) the installer is built for")
cmake_path(ABSOLUTE_PATH QV_PRODUCT NORMALIZE OUTPUT_VARIABLE _qv_product_file)

if(NOT EXISTS "${_qv_product_file}")
    message(FATAL_ERROR "QV_PRODUCT names ${_qv_product_file}, which does not exist")
endif()

file(READ "${_qv_product_file}" _qv_product_json)
cmake_path(GET _qv_product_file PARENT_PATH _qv_product_dir)

# Sets <out> to the string at the JSON path, failing the configure step with the path when missing.
function(_qv_product_field out)
    string(JSON value ERROR_VARIABLE error GET "${_qv_product_json}" ${ARGN})
    if(error)
        list(JOIN ARGN "." where)
        message(FATAL_ERROR "${_qv_product_file}: no ${where} (${error})")
    endif()
    set(${out} "${value}" PARENT_SCOPE)
endfunction()

_qv_product_field(QV_PRODUCT_NAME product name)
_qv_product_field(QV_PRODUCT_VERSION product version)
_qv_product_field(QV_PRODUCT_MODULE_VERSION product moduleFileVersion)
_qv_product_field(QV_PRODUCT_PAGE_URL product pageUrl)
_qv_product_field(QV_PRODUCT_MANUAL_URL product manualUrl)
_qv_product_field(_qv_licence_file product licenceFile)
_qv_product_field(QV_MAKER_NAME maker name)
_qv_product_field(QV_MAKER_FOLDER_NAME maker folderName)
_qv_product_field(QV_MAKER_COMMUNITY_URL maker communityUrl)
_qv_product_field(QV_MAKER_MAIL_URL maker mailUrl)
_qv_product_field(QV_MAKER_SETTINGS_NOTE maker settingsNote)
string(REGEX REPLACE "^mailto:" "" QV_MAKER_MAIL_ADDRESS "${QV_MAKER_MAIL_URL}")

# Fails the configure step unless the field's value matches `pattern`, saying what it must be.
function(_qv_require_form variable field pattern what)
    if(NOT "${${variable}}" MATCHES "${pattern}")
        message(FATAL_ERROR "${_qv_product_file}: ${field} '${${variable}}' must be ${what}")
    endif()
endfunction()

# The product name and the maker's folder become file and folder names on every platform.
set(_qv_plain_name "^[A-Za-z0-9][A-Za-z0-9 _.-]*$")
_qv_require_form(QV_PRODUCT_NAME product.name "${_qv_plain_name}" "letters, digits, space, '_', '.' or '-'")
_qv_require_form(QV_MAKER_FOLDER_NAME maker.folderName "${_qv_plain_name}" "a plain folder name")
_qv_require_form(QV_PRODUCT_VERSION product.version "^[0-9]+\\.[0-9]+\\.[0-9]+$" "three numbers, e.g. 1.0.4")
_qv_require_form(QV_PRODUCT_MODULE_VERSION product.moduleFileVersion "^[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+$"
                 "four numbers, e.g. 1.0.4.0")

# The name shown and given to the bundles: the first "_" of the stored name becomes a space, as the
# installer's catalogue has it, so that the archives hold the very bundle names it looks for.
string(REGEX REPLACE "^([^_]*)_" "\\1 " QV_PRODUCT_DISPLAY_NAME "${QV_PRODUCT_NAME}")

# The values build steps take when their caller names no product: qv_default_to_product(ARG
# PRODUCT_NAME MODULE_VERSION) fills ARG_PRODUCT_NAME and ARG_MODULE_VERSION when they are empty.
set(_qv_product_default_PRODUCT_NAME "${QV_PRODUCT_DISPLAY_NAME}")
set(_qv_product_default_PRODUCT_VERSION "${QV_PRODUCT_VERSION}")
set(_qv_product_default_MODULE_VERSION "${QV_PRODUCT_MODULE_VERSION}")

macro(qv_default_to_product prefix)
    foreach(_qv_field IN ITEMS ${ARGN})
        if(NOT ${prefix}_${_qv_field})
            set(${prefix}_${_qv_field} "${_qv_product_default_${_qv_field}}")
        endif()
    endforeach()
endmacro()

cmake_path(ABSOLUTE_PATH _qv_licence_file BASE_DIRECTORY "${_qv_product_dir}" NORMALIZE OUTPUT_VARIABLE QV_PRODUCT_LICENCE_FILE)
if(NOT EXISTS "${QV_PRODUCT_LICENCE_FILE}")
    message(FATAL_ERROR "${_qv_product_file}: the licence file ${QV_PRODUCT_LICENCE_FILE} does not exist")
endif()

# A bundle named in the description (relative to it) replaces that format's stand-in module,
# unless QV_<FORMAT>_BUNDLE is given on the command line.
foreach(format vst3 clap aax)
    string(TOUPPER "${format}" FORMAT)
    string(JSON bundle ERROR_VARIABLE error GET "${_qv_product_json}" bundles ${format})
    if(NOT error AND bundle AND NOT QV_${FORMAT}_BUNDLE)
        cmake_path(ABSOLUTE_PATH bundle BASE_DIRECTORY "${_qv_product_dir}" NORMALIZE OUTPUT_VARIABLE QV_${FORMAT}_BUNDLE)
    endif()
endforeach()

set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${_qv_product_file}" "${QV_PRODUCT_LICENCE_FILE}")

# A C++ string literal holding `value`.
function(_qv_cpp_literal out value)
    string(REPLACE "\\" "\\\\" value "${value}")
    string(REPLACE "\"" "\\\"" value "${value}")
    string(REPLACE "\n" "\\n" value "${value}")
    set(${out} "\"${value}\"" PARENT_SCOPE)
endfunction()

# Writes `content` to `file` only when it differs, so that an unchanged description rebuilds nothing.
function(_qv_write_if_changed file content)
    file(WRITE "${file}.new" "${content}")
    configure_file("${file}.new" "${file}" COPYONLY)
    file(REMOVE "${file}.new")
endfunction()

# Generates ProductFacts.h (the constants) and ProductLicence.cpp (the licence text) for <target>,
# which compiles the latter and gets the former on its include path.
function(qv_add_product_facts target)
    set(out_dir "${CMAKE_BINARY_DIR}/product")
    set(header "")
    foreach(pair "name;QV_PRODUCT_NAME" "version;QV_PRODUCT_VERSION" "moduleFileVersion;QV_PRODUCT_MODULE_VERSION"
                 "pageUrl;QV_PRODUCT_PAGE_URL" "manualUrl;QV_PRODUCT_MANUAL_URL" "makerName;QV_MAKER_NAME"
                 "makerFolderName;QV_MAKER_FOLDER_NAME" "communityUrl;QV_MAKER_COMMUNITY_URL" "mailUrl;QV_MAKER_MAIL_URL"
                 "settingsNote;QV_MAKER_SETTINGS_NOTE")
        list(GET pair 0 name)
        list(GET pair 1 variable)
        _qv_cpp_literal(literal "${${variable}}")
        string(APPEND header "    inline constexpr const char* ${name} = ${literal};\n")
    endforeach()
    _qv_write_if_changed("${out_dir}/ProductFacts.h"
"#pragma once

// Generated from ${_qv_product_file} by cmake/product/Product.cmake: edit the description, not this.
namespace qv::productfacts
{
${header}}
")

    file(READ "${QV_PRODUCT_LICENCE_FILE}" licence)
    set(delimiter "qv_licence")
    string(FIND "${licence}" ")${delimiter}\"" clash)
    if(NOT clash EQUAL -1)
        message(FATAL_ERROR "${QV_PRODUCT_LICENCE_FILE} holds ')${delimiter}\"', which would end the text early")
    endif()
    _qv_write_if_changed("${out_dir}/ProductLicence.cpp"
"#include \"catalogue/Catalogue.h\"

// Generated from ${QV_PRODUCT_LICENCE_FILE} by cmake/product/Product.cmake.
namespace qv
{
const juce::String eulaText (juce::CharPointer_UTF8 (R\"${delimiter}(${licence})${delimiter}\"));
}
")

    target_sources(${target} PRIVATE "${out_dir}/ProductFacts.h" "${out_dir}/ProductLicence.cpp")
    target_include_directories(${target} PUBLIC "${out_dir}")
endfunction()
