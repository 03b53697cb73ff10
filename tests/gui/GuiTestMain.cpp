#include <juce_gui_basics/juce_gui_basics.h>
#include <gtest/gtest.h>

// Components need the message manager and the desktop; one initialiser serves the whole run.
int main (int argc, char** argv)
{
    testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
