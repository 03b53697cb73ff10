// Renders the main screen's hint line as the window should show it: the hint label's font, colour
// and centring over the screen's background, at a given window width. The end-to-end tests read
// the hint off a screenshot by comparing its strip with these renderings of the candidate texts.
//
// Usage: qv_render_hint <window width> <output folder> <text>...
// Writes <output folder>/<n>.ppm (binary PPM, RGB) for the n-th text.

#include "main_component/MainComponent.h"
#include "theme/CustomLookAndFeel.h"
#include "theme/FontHelpers.h"
#include "theme/Palette.h"
#include <cstdio>

namespace
{
    class HintStrip final : public juce::Component
    {
    public:
        HintStrip (const CustomLookAndFeel& laf, int windowWidth, const juce::String& text)
        {
            const auto u = (float) windowWidth * 0.01f;
            setSize (juce::roundToInt (92.0f * u), juce::roundToInt (3.0f * u));

            label.setJustificationType (juce::Justification::centred);
            label.setMinimumHorizontalScale (MainComponent::hintMinimumHorizontalScale);
            label.setColour (juce::Label::textColourId, qv::colourText.withAlpha (0.5f));
            label.setFont (qv::fontWithTypeface (laf.regularTypeface, 3.0f * u));
            label.setText (text, juce::dontSendNotification);
            label.setBounds (getLocalBounds());
            addAndMakeVisible (label);
        }

        void paint (juce::Graphics& g) override
        {
            g.fillAll (qv::colourBackground);
        }

    private:
        juce::Label label;
    };

    bool writePpm (const juce::Image& image, const juce::File& file)
    {
        juce::MemoryOutputStream out;
        out << "P6\n"
            << image.getWidth() << " " << image.getHeight() << "\n255\n";

        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
            {
                const auto c = image.getPixelAt (x, y);
                out.writeByte ((char) c.getRed());
                out.writeByte ((char) c.getGreen());
                out.writeByte ((char) c.getBlue());
            }

        return file.replaceWithData (out.getData(), out.getDataSize());
    }
}

int main (int argc, char** argv)
{
    if (argc < 4)
    {
        std::fprintf (stderr, "usage: %s <window width> <output folder> <text>...\n", argv[0]);
        return 2;
    }

    juce::ScopedJuceInitialiser_GUI gui;
    CustomLookAndFeel laf;
    juce::LookAndFeel::setDefaultLookAndFeel (&laf);

    const auto width = juce::String (argv[1]).getIntValue();
    const juce::File folder (juce::File::getCurrentWorkingDirectory().getChildFile (argv[2]));

    if (width <= 0 || ! folder.createDirectory())
        return 2;

    int status = 0;

    for (int i = 3; i < argc; ++i)
    {
        HintStrip strip (laf, width, juce::String (juce::CharPointer_UTF8 (argv[i])));
        const auto image = strip.createComponentSnapshot (strip.getLocalBounds(), true, 1.0f);

        if (! writePpm (image, folder.getChildFile (juce::String (i - 3) + ".ppm")))
            status = 1;
    }

    juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
    return status;
}
