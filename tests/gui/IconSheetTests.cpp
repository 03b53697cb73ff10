#include "theme/Icons.h"
#include "theme/Palette.h"
#include <BinaryData.h>
#include <gtest/gtest.h>

namespace
{
    struct IconCase
    {
        const char* name;
        const char* data;
        int size;
        bool recoloured;
    };

    const IconCase icons[] {
        { "vst3", BinaryData::icon_vst3_svg, BinaryData::icon_vst3_svgSize, true },
        { "clap", BinaryData::icon_clap_svg, BinaryData::icon_clap_svgSize, true },
        { "aax", BinaryData::icon_aax_svg, BinaryData::icon_aax_svgSize, true },
        { "auv2", BinaryData::icon_auv2_svg, BinaryData::icon_auv2_svgSize, true },
        { "auv3", BinaryData::icon_auv3_svg, BinaryData::icon_auv3_svgSize, true },
        { "lv2", BinaryData::icon_lv2_svg, BinaryData::icon_lv2_svgSize, true },
        { "eula", BinaryData::icon_eula_svg, BinaryData::icon_eula_svgSize, true },
        { "manual", BinaryData::icon_manual_svg, BinaryData::icon_manual_svgSize, true },
        { "web", BinaryData::icon_web_svg, BinaryData::icon_web_svgSize, true },
        { "help", BinaryData::icon_help_svg, BinaryData::icon_help_svgSize, true },
        { "install", BinaryData::icon_install_svg, BinaryData::icon_install_svgSize, true },
        { "discord", BinaryData::icon_discord_svg, BinaryData::icon_discord_svgSize, true },
        { "mail", BinaryData::icon_mail_svg, BinaryData::icon_mail_svgSize, true },
        { "success", BinaryData::icon_success_svg, BinaryData::icon_success_svgSize, false },
        { "warning", BinaryData::icon_warning_svg, BinaryData::icon_warning_svgSize, false },
    };

    constexpr int tile = 96;
    const auto sheetBackground = juce::Colour (0xff808080);

    int pixelsOfColour (const juce::Image& image, juce::Rectangle<int> area, juce::Colour colour)
    {
        int count = 0;
        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                count += image.getPixelAt (x, y) == colour ? 1 : 0;
        return count;
    }
}

// Draws every embedded icon side by side, the way the screen loads them, into
// test-artifacts/icons.png for a person to look at, and checks each one drew in its own colours.
TEST (Icons, AllFifteenDrawOnASheetInTheirColours)
{
    juce::Image sheet (juce::Image::ARGB, tile * (int) std::size (icons), tile, true);
    juce::Graphics g (sheet);
    g.fillAll (sheetBackground);

    for (size_t i = 0; i < std::size (icons); ++i)
    {
        const auto& icon = icons[i];
        SCOPED_TRACE (icon.name);

        auto drawable = icon.recoloured ? qv::loadRecolouredIcon (icon.data, icon.size)
                                        : qv::loadIcon (icon.data, icon.size);
        ASSERT_NE (drawable, nullptr);

        const juce::Rectangle<int> area ((int) i * tile, 0, tile, tile);
        drawable->drawWithin (g, area.reduced (8).toFloat(), juce::RectanglePlacement::centred, 1.0f);

        const auto drawn = tile * tile - pixelsOfColour (sheet, area, sheetBackground);
        EXPECT_GT (drawn, tile * tile / 50) << "icon drew almost nothing";
    }

    const auto tileOf = [] (const char* name) {
        for (size_t i = 0; i < std::size (icons); ++i)
            if (juce::String (icons[i].name) == name)
                return juce::Rectangle<int> ((int) i * tile, 0, tile, tile);
        return juce::Rectangle<int>();
    };

    // Recolouring turns opaque black into the icon colour and leaves the envelope's own near-black.
    EXPECT_GT (pixelsOfColour (sheet, tileOf ("help"), qv::colourIcon), 500);
    EXPECT_EQ (pixelsOfColour (sheet, tileOf ("help"), juce::Colours::black), 0);
    EXPECT_GT (pixelsOfColour (sheet, tileOf ("mail"), juce::Colour (29, 29, 27)), 100);
    EXPECT_GT (pixelsOfColour (sheet, tileOf ("success"), juce::Colour (40, 201, 55)), 500);
    EXPECT_GT (pixelsOfColour (sheet, tileOf ("warning"), juce::Colour (255, 170, 0)), 500);

    const auto folder = juce::File (QV_TEST_ARTIFACTS_DIR);
    folder.createDirectory();
    juce::FileOutputStream out (folder.getChildFile ("icons.png"));
    out.setPosition (0);
    out.truncate();
    ASSERT_TRUE (juce::PNGImageFormat().writeImageToStream (sheet, out));
}
