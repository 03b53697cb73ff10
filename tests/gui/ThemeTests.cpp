#include "GuiTestSupport.h"
#include "theme/CustomLookAndFeel.h"
#include "theme/FontHelpers.h"
#include "theme/Palette.h"

using namespace qvtest;

TEST (Palette, EveryColourIsItsStoredTextBehindTheOpaqueAlpha)
{
    struct Case
    {
        const char* name;
        const juce::Colour& colour;
        juce::uint32 argb;
    };
    const Case cases[] {
        { "colourBackground", qv::colourBackground, 0xff111111 },
        { "colourIcon", qv::colourIcon, 0xff171717 },
        { "colourTextBright", qv::colourTextBright, 0xfff5f5f5 },
        { "colourText", qv::colourText, 0xffaaa6a6 },
        { "colourActive", qv::colourActive, 0xff86cf7a }, // stored in lower case
        { "colourInstalled", qv::colourInstalled, 0xff0094d8 },
        { "colourSelected", qv::colourSelected, 0xffd3c55f },
        { "colourSlate", qv::colourSlate, 0xff393e44 },
        { "colourCharcoal", qv::colourCharcoal, 0xff101316 },
        { "colourSteel", qv::colourSteel, 0xff21272c },
    };

    EXPECT_EQ (qv::paletteAlpha, "FF");

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        EXPECT_EQ (c.colour.getARGB(), c.argb);
    }
}

TEST (CustomLookAndFeel, SetsTheColourTableOverTheDarkScheme)
{
    CustomLookAndFeel laf;
    const juce::LookAndFeel_V4 dark;
    const auto halfActive = juce::Colour (0x8086cf7a);

    struct Case
    {
        const char* name;
        int id;
        juce::Colour expected;
    };
    const Case cases[] {
        { "PopupMenu background", juce::PopupMenu::backgroundColourId, qv::colourBackground },
        { "PopupMenu highlighted background", juce::PopupMenu::highlightedBackgroundColourId, halfActive },
        { "PopupMenu text", juce::PopupMenu::textColourId, qv::colourTextBright },
        { "PopupMenu highlighted text", juce::PopupMenu::highlightedTextColourId, qv::colourTextBright },
        { "AlertWindow background", juce::AlertWindow::backgroundColourId, qv::colourBackground },
        { "AlertWindow text", juce::AlertWindow::textColourId, qv::colourText },
        { "PropertyComponent label text", juce::PropertyComponent::labelTextColourId, halfActive },
        { "ScrollBar thumb", juce::ScrollBar::thumbColourId, qv::colourText },
        { "ResizableWindow background", juce::ResizableWindow::backgroundColourId, qv::colourBackground },
        { "TextEditor background", juce::TextEditor::backgroundColourId, qv::colourBackground },
        { "ListBox background", juce::ListBox::backgroundColourId, qv::colourBackground },
        { "TextButton button", juce::TextButton::buttonColourId, qv::colourBackground },
        { "Label text", juce::Label::textColourId, qv::colourTextBright },
        // Not in the table: the dark scheme's own values stay.
        { "TextEditor text (dark scheme)", juce::TextEditor::textColourId, dark.findColour (juce::TextEditor::textColourId) },
        { "ComboBox background (dark scheme)", juce::ComboBox::backgroundColourId, dark.findColour (juce::ComboBox::backgroundColourId) },
        { "Slider thumb (dark scheme)", juce::Slider::thumbColourId, dark.findColour (juce::Slider::thumbColourId) },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        EXPECT_EQ (laf.findColour (c.id).getARGB(), c.expected.getARGB());
    }
}

TEST (CustomLookAndFeel, EveryFontGetsTheRegularFaceEvenWhenAskingForBoldOrItalic)
{
    CustomLookAndFeel laf;
    ASSERT_NE (laf.regularTypeface, nullptr);
    ASSERT_NE (laf.boldTypeface, nullptr);
    EXPECT_EQ (laf.regularTypeface->getName(), "Source Sans Pro");
    EXPECT_EQ (laf.regularTypeface->getStyle(), "Regular");
    EXPECT_EQ (laf.boldTypeface->getStyle(), "Bold");

    const int styles[] { juce::Font::plain, juce::Font::bold, juce::Font::italic, juce::Font::bold | juce::Font::italic };

    for (const auto style : styles)
    {
        SCOPED_TRACE (style);
        EXPECT_EQ (laf.getTypefaceForFont (juce::Font ("Some Family", 20.0f, style)).get(), laf.regularTypeface.get());
    }

    // Text laid out through the default look-and-feel in a bold font comes out in the regular face.
    juce::LookAndFeel::setDefaultLookAndFeel (&laf);
    juce::Typeface::clearTypefaceCache();

    const auto draw = [] (juce::Font font) {
        juce::Image image (juce::Image::ARGB, 200, 60, true);
        juce::Graphics g (image);
        g.setColour (juce::Colours::white);
        g.setFont (font);
        g.drawSingleLineText ("Bold?", 5, 45);
        return image;
    };

    const auto asBold = draw (juce::Font (40.0f, juce::Font::bold));
    const auto asRegularFace = draw (qv::fontWithTypeface (laf.regularTypeface, 40.0f));
    const auto inBoldFace = draw (qv::fontWithTypeface (laf.boldTypeface, 40.0f));

    int differentFromRegular = 0, differentFromBold = 0;

    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x)
        {
            differentFromRegular += asBold.getPixelAt (x, y) != asRegularFace.getPixelAt (x, y) ? 1 : 0;
            differentFromBold += asBold.getPixelAt (x, y) != inBoldFace.getPixelAt (x, y) ? 1 : 0;
        }

    EXPECT_EQ (differentFromRegular, 0);
    EXPECT_GT (differentFromBold, 50);

    juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
    juce::Typeface::clearTypefaceCache();
}

TEST (CustomLookAndFeel, PopupMenusUseA30PixelPlainFontWithExtraKerning)
{
    CustomLookAndFeel laf;
    const auto font = laf.getPopupMenuFont();

    EXPECT_FLOAT_EQ (font.getHeight(), 30.0f);
    EXPECT_FALSE (font.isBold());
    EXPECT_FALSE (font.isItalic());
    EXPECT_FLOAT_EQ (font.getHorizontalScale(), 1.0f);
    EXPECT_FLOAT_EQ (font.getExtraKerningFactor(), 0.1f);
}

TEST (CustomLookAndFeel, ComboBoxIsAPillWithItsTextCentredAcrossTheFullWidth)
{
    CustomLookAndFeel laf;
    juce::ComboBox box;
    box.setLookAndFeel (&laf);
    box.addItem ("Item", 1);
    box.setSelectedId (1, juce::dontSendNotification);
    box.setBounds (0, 0, 200, 20);

    auto* label = dynamic_cast<juce::Label*> (box.getChildComponent (0));
    ASSERT_NE (label, nullptr);
    EXPECT_EQ (label->getBounds(), juce::Rectangle<int> (1, 1, 200, 18));
    EXPECT_FLOAT_EQ (label->getFont().getHeight(), 14.0f);
    EXPECT_EQ (label->getJustificationType(), juce::Justification (juce::Justification::centred));
    EXPECT_EQ (label->getText(), "Item");

    // Only the box's own drawing: the pill, corner size 10.
    label->setVisible (false);
    const auto image = box.createComponentSnapshot (box.getLocalBounds(), true, 1.0f);

    EXPECT_EQ (image.getPixelAt (0, 0).getAlpha(), 0); // outside the rounded corner
    EXPECT_EQ (image.getPixelAt (199, 19).getAlpha(), 0);
    EXPECT_EQ (image.getPixelAt (100, 10), qv::colourIcon);
    EXPECT_EQ (image.getPixelAt (100, 0), qv::colourIcon);  // straight top edge
    EXPECT_EQ (image.getPixelAt (190, 10), qv::colourIcon); // no arrow at the right end

    // No arrow, no outline: every painted pixel of the right end is the pill's colour.
    int foreign = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 160; x < 200; ++x)
            if (const auto c = image.getPixelAt (x, y); c.getAlpha() > 128) // faint edge pixels lose precision
                foreign += std::abs (c.getRed() - 0x17) + std::abs (c.getGreen() - 0x17) + std::abs (c.getBlue() - 0x17) > 9 ? 1 : 0;
    EXPECT_EQ (foreign, 0);

    box.setLookAndFeel (nullptr);
}

TEST (CustomLookAndFeel, IsEveryComponentsDefaultWhileTheMainComponentLives)
{
    auto survivor = std::make_unique<juce::Label>();

    {
        MainComponent main;
        EXPECT_EQ (&main.hintLabel->getLookAndFeel(), &main.customLookAndFeel);
        EXPECT_EQ (&survivor->getLookAndFeel(), &main.customLookAndFeel);
    }

    // The default is a weak reference: it lapses with the main component's look-and-feel.
    EXPECT_EQ (dynamic_cast<CustomLookAndFeel*> (&survivor->getLookAndFeel()), nullptr);
    EXPECT_NE (dynamic_cast<juce::LookAndFeel_V4*> (&survivor->getLookAndFeel()), nullptr);
}
