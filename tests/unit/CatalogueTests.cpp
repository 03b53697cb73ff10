#include "catalogue/Catalogue.h"
#include <gtest/gtest.h>

TEST (Catalogue, TablesHoldTheFormatsAndExtrasInIndexOrder)
{
    EXPECT_EQ (qv::formatNames, juce::StringArray ({ "VST3", "CLAP", "AAX", "AudioUnit V2", "AudioUnit V3" }));
    EXPECT_EQ (qv::formatExtensions, juce::StringArray ({ ".vst3", ".clap", ".aaxplugin" }));
    EXPECT_EQ (qv::extraNames, juce::StringArray ({ "EULA", "MANUAL", "WEBSITE", "SUPPORT", "SETTINGS" }));

    // Past the end a table yields an empty string rather than failing.
    EXPECT_EQ (qv::formatExtensions[3], juce::String());
    EXPECT_EQ (qv::formatNames[5], juce::String());
}

TEST (Catalogue, DisplayNameReplacesOnlyTheFirstUnderscore)
{
    struct Case
    {
        const char* stored;
        const char* shown;
    };
    const Case cases[] { { "Varnoly", "Varnoly" }, { "A_B_C", "A B_C" }, { "_x", " x" }, { "", "" } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.stored);
        EXPECT_EQ (qv::product::displayName (c.stored), juce::String (c.shown));
    }

    EXPECT_EQ (qv::product::displayName (qv::product::storedName), "Varnoly");
}

TEST (Catalogue, ProductAndInstallerVersionsAreSeparate)
{
    EXPECT_STREQ (qv::product::version, "1.0.4");
    EXPECT_STREQ (qv::installer::version, "1.0.5");
    EXPECT_STREQ (qv::installer::name, "qv_installer");
}

TEST (Catalogue, LinksAreHttpsWithTheExpectedPaths)
{
    const juce::URL page (juce::String (qv::product::pageUrl));
    const juce::URL manual (juce::String (qv::product::manualUrl));

    EXPECT_TRUE (page.getScheme() == "https");
    EXPECT_TRUE (page.getSubPath().startsWith ("collections/software/products/"));
    EXPECT_TRUE (manual.getScheme() == "https");
    EXPECT_EQ (manual.getSubPath(), "manuals/Varnoly_Manual.pdf");
    EXPECT_NE (page.getDomain(), manual.getDomain());
}

TEST (Catalogue, LicenceTextHasTheShapeThePanelExpects)
{
    const auto& text = qv::eulaText;

    EXPECT_GT (text.length(), 4500);
    EXPECT_LT (text.length(), 5200);
    EXPECT_TRUE (text.endsWith (". "));
    EXPECT_FALSE (text.containsChar ('\r'));

    for (auto c : text)
        ASSERT_TRUE (c == '\n' || (c >= 32 && c < 127)) << "not plain ASCII: " << (int) c;

    juce::StringArray paragraphs;
    paragraphs.addTokens (text.replace ("\n\n", "\x01"), "\x01", {});
    EXPECT_EQ (paragraphs.size(), 8);
    EXPECT_FALSE (text.contains ("\n\n\n"));

    int paragraphsWithALineBreak = 0;
    for (const auto& p : paragraphs)
        paragraphsWithALineBreak += p.containsChar ('\n') ? 1 : 0;
    EXPECT_EQ (paragraphsWithALineBreak, 3);

    // Consent by installation comes first, in capitals; warranty and liability clauses are shouted.
    EXPECT_EQ (paragraphs[0], paragraphs[0].toUpperCase());
    EXPECT_TRUE (paragraphs[0].contains ("INSTALLING"));
    EXPECT_TRUE (text.contains ("WITHOUT WARRANTY OF ANY KIND"));
    EXPECT_TRUE (text.contains ("IN NO EVENT SHALL"));
}
