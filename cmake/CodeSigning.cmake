# Authenticode signing of the Windows program with osslsigncode, after linking.
#
# Included, it reads the cache variables below and defines qv_sign_after_link(<target>). Run as a
# script (cmake -D... -P CodeSigning.cmake), it signs one file; the build's POST_BUILD step and the
# test wine_signed both sign through that script, so the test exercises the build's own step.
#
# Script variables: QV_SIGN_FILE (the program, replaced by its signed copy), QV_SIGN_PKCS12,
# QV_SIGN_PASSWORD_FILE, optional QV_SIGN_TIMESTAMP_URL, QV_SIGN_DESCRIPTION and QV_OSSLSIGNCODE.

if(CMAKE_SCRIPT_MODE_FILE)
    foreach(required QV_SIGN_FILE QV_SIGN_PKCS12 QV_SIGN_PASSWORD_FILE)
        if(NOT ${required})
            message(FATAL_ERROR "CodeSigning.cmake: ${required} is not set")
        endif()
    endforeach()
    if(NOT QV_OSSLSIGNCODE)
        find_program(QV_OSSLSIGNCODE osslsigncode REQUIRED)
    endif()

    set(timestamp_args "")
    if(QV_SIGN_TIMESTAMP_URL)
        list(APPEND timestamp_args -ts "${QV_SIGN_TIMESTAMP_URL}")
    endif()
    set(description_args "")
    if(QV_SIGN_DESCRIPTION)
        list(APPEND description_args -n "${QV_SIGN_DESCRIPTION}")
    endif()

    # Written beside the program and renamed over it, so that the program is either the unsigned
    # link output or complete and signed, never half written. The password is read from its file
    # by osslsigncode itself and is on no command line.
    set(signing "${QV_SIGN_FILE}.signing")
    file(REMOVE "${signing}")
    execute_process(
        COMMAND "${QV_OSSLSIGNCODE}" sign
                -pkcs12 "${QV_SIGN_PKCS12}" -readpass "${QV_SIGN_PASSWORD_FILE}"
                -h sha256 ${description_args} ${timestamp_args}
                -in "${QV_SIGN_FILE}" -out "${signing}"
        RESULT_VARIABLE result
        OUTPUT_VARIABLE output
        ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        # No unsigned program is left where a signed one is expected: it cannot be shipped by
        # mistake, and the next build links and signs it again.
        file(REMOVE "${signing}" "${QV_SIGN_FILE}")
        message(FATAL_ERROR "Signing ${QV_SIGN_FILE} with ${QV_SIGN_PKCS12} failed (${result}); "
                            "the unsigned program was removed. osslsigncode said:\n${output}")
    endif()
    file(CHMOD "${signing}" FILE_PERMISSIONS
         OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    file(RENAME "${signing}" "${QV_SIGN_FILE}")
    message(STATUS "Signed ${QV_SIGN_FILE} with ${QV_SIGN_PKCS12}")
    return()
endif()

include_guard(GLOBAL)

set(QV_SIGN_PKCS12 "" CACHE FILEPATH "The maker's code-signing certificate and key (PKCS#12); empty: the program is not signed")
set(QV_SIGN_PASSWORD_FILE "" CACHE FILEPATH "A file whose first line is the password of QV_SIGN_PKCS12")
set(QV_SIGN_TIMESTAMP_URL "" CACHE STRING "RFC 3161 timestamp server for the signature; empty: no timestamp")
set(QV_SIGN_SCRIPT "${CMAKE_CURRENT_LIST_FILE}")

# Checked now rather than at the end of a long build.
if(QV_SIGN_PKCS12)
    if(NOT EXISTS "${QV_SIGN_PKCS12}" OR IS_DIRECTORY "${QV_SIGN_PKCS12}")
        message(FATAL_ERROR "QV_SIGN_PKCS12: no certificate file at ${QV_SIGN_PKCS12}")
    endif()
    if(NOT QV_SIGN_PASSWORD_FILE)
        message(FATAL_ERROR "QV_SIGN_PKCS12 is set but QV_SIGN_PASSWORD_FILE is not: name the file "
                            "that holds the certificate's password")
    endif()
    if(NOT EXISTS "${QV_SIGN_PASSWORD_FILE}" OR IS_DIRECTORY "${QV_SIGN_PASSWORD_FILE}")
        message(FATAL_ERROR "QV_SIGN_PASSWORD_FILE: no password file at ${QV_SIGN_PASSWORD_FILE}")
    endif()
    find_program(QV_OSSLSIGNCODE osslsigncode)
    if(NOT QV_OSSLSIGNCODE)
        message(FATAL_ERROR "QV_SIGN_PKCS12 is set but osslsigncode is not installed "
                            "(Debian package osslsigncode; tools/install_deps.sh installs it)")
    endif()
    if(QV_SIGN_TIMESTAMP_URL)
        message(STATUS "Signing the Windows program with ${QV_SIGN_PKCS12}, timestamped by ${QV_SIGN_TIMESTAMP_URL}")
    else()
        message(STATUS "Signing the Windows program with ${QV_SIGN_PKCS12}, without a timestamp")
    endif()
elseif(QV_SIGN_PASSWORD_FILE OR QV_SIGN_TIMESTAMP_URL)
    message(WARNING "QV_SIGN_PASSWORD_FILE or QV_SIGN_TIMESTAMP_URL is set without QV_SIGN_PKCS12: "
                    "the Windows program is not signed")
endif()

# Signs <target> after every link when a certificate is configured; adds nothing otherwise, so an
# unsigned build is exactly what it would be without this file.
function(qv_sign_after_link target)
    if(NOT QV_SIGN_PKCS12)
        return()
    endif()
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND "${CMAKE_COMMAND}"
                "-DQV_SIGN_FILE=$<TARGET_FILE:${target}>"
                "-DQV_SIGN_PKCS12=${QV_SIGN_PKCS12}"
                "-DQV_SIGN_PASSWORD_FILE=${QV_SIGN_PASSWORD_FILE}"
                "-DQV_SIGN_TIMESTAMP_URL=${QV_SIGN_TIMESTAMP_URL}"
                "-DQV_SIGN_DESCRIPTION=${target}"
                "-DQV_OSSLSIGNCODE=${QV_OSSLSIGNCODE}"
                -P "${QV_SIGN_SCRIPT}"
        VERBATIM)
    # A new certificate or a changed script signs again, through a new link.
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS "${QV_SIGN_PKCS12}" "${QV_SIGN_SCRIPT}")
endfunction()
