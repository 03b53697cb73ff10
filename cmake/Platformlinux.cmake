# Linux: JUCE's headers (Debian build) expect the system's zlib, libpng and libjpeg.
find_package(ZLIB REQUIRED)

function(qv_platform_link_juce_deps target)
    target_link_libraries(${target} PUBLIC ZLIB::ZLIB)
    if(TARGET juce::pkgconfig_JUCE_IMG_LINUX_DEPS)
        target_link_libraries(${target} PUBLIC juce::pkgconfig_JUCE_IMG_LINUX_DEPS)
    endif()
endfunction()

function(qv_platform_add_app_resources target)
    target_sources(${target} PRIVATE
        "${PROJECT_SOURCE_DIR}/app/WindowRepaint.h"
        "${PROJECT_SOURCE_DIR}/app/WindowRepaintLinux.cpp")
endfunction()
