#pragma once

#include <ProductFacts.h>
#include <juce_core/juce_core.h>

/** The compile-time description of the one product this installer carries, generated from the
    product description the build was given (see cmake/product/Product.cmake). */
namespace qv
{
    /** VST3, CLAP and AAX: the formats built, shown, detected and installed, by format index. */
    constexpr int numFormats = 3;

    /** Format names by format index; entries 3 and 4 are names only on our platforms. */
    extern const juce::StringArray formatNames;

    /** Bundle extensions by format index (formats 0..2 only). */
    extern const juce::StringArray formatExtensions;

    /** Extra button names; the first four have buttons, the fifth is unused. */
    extern const juce::StringArray extraNames;

    /** The product's licence agreement, shown by the licence panel. */
    extern const juce::String eulaText;

    namespace product
    {
        /** The product name as stored; see displayName(). */
        inline constexpr const char* storedName = productfacts::name;
        inline constexpr const char* version = productfacts::version;
        inline constexpr const char* pageUrl = productfacts::pageUrl;
        inline constexpr const char* manualUrl = productfacts::manualUrl;

        /** The name shown and used for bundles: only the first "_" becomes a space. */
        juce::String displayName (const juce::String& stored);
    }

    namespace installer
    {
        inline constexpr const char* name = QV_INSTALLER_NAME;
        inline constexpr const char* version = QV_INSTALLER_VERSION;
    }

    namespace maker
    {
        /** The maker's folder under the machine-wide application-data folder. */
        inline constexpr const char* folderName = productfacts::makerFolderName;
        inline constexpr const char* companyName = productfacts::makerName;
        inline constexpr const char* communityUrl = productfacts::communityUrl;
        inline constexpr const char* mailUrl = productfacts::mailUrl;
    }
}
