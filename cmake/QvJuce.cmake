# JUCE modules are INTERFACE libraries whose sources compile into every target that links them.
# Compiling them once into a static library per module set keeps the app, the GUI tests and the
# headless tests from each rebuilding JUCE.

set(QV_JUCE_DEFINITIONS
    JUCE_DISPLAY_SPLASH_SCREEN=0
    JUCE_WEB_BROWSER=0
    JUCE_USE_CURL=0
    JUCE_STANDALONE_APPLICATION=1
    JUCE_REPORT_APP_USAGE=0
    JUCE_APPLICATION_NAME_STRING="${PROJECT_NAME}"
    JUCE_APPLICATION_VERSION_STRING="${PROJECT_VERSION}")

function(qv_add_juce_library name)
    cmake_parse_arguments(ARG "" "" "MODULES" ${ARGN})

    add_library(${name} STATIC)
    target_link_libraries(${name}
        PRIVATE ${ARG_MODULES}
        PUBLIC juce::juce_recommended_config_flags)
    target_compile_definitions(${name} PUBLIC ${QV_JUCE_DEFINITIONS})
    qv_platform_link_juce_deps(${name})

    # Users of the library compile against the same module configuration.
    target_compile_definitions(${name} INTERFACE $<TARGET_PROPERTY:${name},COMPILE_DEFINITIONS>)
    target_include_directories(${name} INTERFACE $<TARGET_PROPERTY:${name},INCLUDE_DIRECTORIES>)
    set_target_properties(${name} PROPERTIES
        POSITION_INDEPENDENT_CODE TRUE
        VISIBILITY_INLINES_HIDDEN TRUE
        C_VISIBILITY_PRESET hidden
        CXX_VISIBILITY_PRESET hidden)
endfunction()

# Flags for our own code: JUCE's recommended warnings, treated as errors so none creep in.
add_library(qv_warnings INTERFACE)
target_link_libraries(qv_warnings INTERFACE juce::juce_recommended_warning_flags)
target_compile_options(qv_warnings INTERFACE -Werror)
