# Source Sans Pro comes from the npm package pinned in resources/fonts/package-lock.json; no font
# file is kept in the repository. `npm ci` runs once per build folder and again only when the
# lockfile changes.

find_program(QV_NPM npm REQUIRED)

function(qv_add_fonts target)
    set(src "${PROJECT_SOURCE_DIR}/resources/fonts")
    set(work "${CMAKE_BINARY_DIR}/fonts")
    set(ttf_dir "${work}/node_modules/source-sans-pro/TTF")
    set(regular "${work}/SourceSansPro-Regular.ttf")
    set(bold "${work}/SourceSansPro-Bold.ttf")

    add_custom_command(
        OUTPUT "${regular}" "${bold}"
        COMMAND "${CMAKE_COMMAND}" -E make_directory "${work}"
        COMMAND "${CMAKE_COMMAND}" -E copy_if_different "${src}/package.json" "${src}/package-lock.json" "${work}"
        COMMAND "${QV_NPM}" ci --prefix "${work}" --ignore-scripts --no-audit --no-fund --loglevel=error
        COMMAND "${CMAKE_COMMAND}" -E copy "${ttf_dir}/SourceSansPro-Regular.ttf" "${regular}"
        COMMAND "${CMAKE_COMMAND}" -E copy "${ttf_dir}/SourceSansPro-Bold.ttf" "${bold}"
        DEPENDS "${src}/package.json" "${src}/package-lock.json"
        COMMENT "Fetching Source Sans Pro from the npm lockfile"
        VERBATIM)

    add_custom_target(${target} DEPENDS "${regular}" "${bold}")
    set(${target}_FILES "${bold}" "${regular}" PARENT_SCOPE)
endfunction()
