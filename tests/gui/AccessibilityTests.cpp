#include "GuiTestSupport.h"
#include "KeyboardSupport.h"
#include "install/ProblemSentences.h"
#include "main_component/RunAnnouncement.h"
#include "panels/panel_success.h"

using namespace qvtest;

namespace
{
    juce::AccessibilityHandler& handlerOf (juce::Component& button)
    {
        auto* handler = button.getAccessibilityHandler();
        EXPECT_NE (handler, nullptr) << button.getName();
        static juce::Component nowhere;
        return handler != nullptr ? *handler : *nowhere.getAccessibilityHandler();
    }
}

class Accessibility : public KeyboardOnScreenMain
{
protected:
    juce::AccessibilityHandler& handler (const juce::String& name) { return handlerOf (buttonNamed (name)); }

    void holdShift (bool held) { setModifiers (held ? juce::ModifierKeys::shiftModifier : 0); }

    // A real install of `formatIndex`, so that its bundle carries a version.
    void install (int formatIndex)
    {
        main->formatSelected = { false, false, false };
        main->formatSelected[(size_t) formatIndex] = true;
        main->processSelectedFormats();
        ASSERT_TRUE (main->isFormatInstalled (formatIndex));
        ASSERT_EQ (main->installedVersionOf (formatIndex), "1.0.4");
    }
};

TEST_F (Accessibility, EveryButtonReadsAsItsPurposeWithItsRole)
{
    struct Case
    {
        const char* name;
        juce::AccessibilityRole role;
        const char* title;
    };
    const Case cases[] {
        { "VST3", juce::AccessibilityRole::toggleButton, "VST3, not installed, not selected" },
        { "CLAP", juce::AccessibilityRole::toggleButton, "CLAP, not installed, not selected" },
        { "AAX", juce::AccessibilityRole::toggleButton, "AAX, not installed, not selected" },
        { "SELECT_ALL", juce::AccessibilityRole::button, "Select all formats" },
        { "INSTALL", juce::AccessibilityRole::button, "Install" },
        { "EULA", juce::AccessibilityRole::button, "Licence agreement" },
        { "MANUAL", juce::AccessibilityRole::button, "Open the manual in the browser" },
        { "WEBSITE", juce::AccessibilityRole::button, "Open the product page in the browser" },
        { "SUPPORT", juce::AccessibilityRole::button, "Support and contact" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        auto& h = handler (c.name);
        EXPECT_EQ (h.getRole(), c.role);
        EXPECT_EQ (h.getTitle(), c.title);
        EXPECT_FALSE (h.isIgnored());
        EXPECT_TRUE (h.getActions().contains (juce::AccessibilityActionType::press));
        EXPECT_EQ (h.getCurrentState().isCheckable(), c.role == juce::AccessibilityRole::toggleButton);
        EXPECT_EQ (h.getActions().contains (juce::AccessibilityActionType::toggle), c.role == juce::AccessibilityRole::toggleButton);
        std::cout << "  " << c.name << ": \"" << h.getTitle() << "\"\n";
    }
}

TEST_F (Accessibility, AFormatRowReadsItsInstalledStateVersionAndSelection)
{
    install (0);                                    // VST3: a real bundle, with its version
    ASSERT_TRUE (main->bundleFileFor (1).create()); // CLAP: installed, no version to read
    main->formatSelected = { true, false, true };

    EXPECT_EQ (handler ("VST3").getTitle(), "VST3, installed, version 1.0.4, selected");
    EXPECT_EQ (handler ("CLAP").getTitle(), "CLAP, installed, not selected");
    EXPECT_EQ (handler ("AAX").getTitle(), "AAX, not installed, selected");

    // Asked afresh: another installer removing a bundle shows in the next reading.
    main->bundleFileFor (0).deleteRecursively();
    EXPECT_EQ (handler ("VST3").getTitle(), "VST3, not installed, selected");
}

TEST_F (Accessibility, AFormatRowsToggleStateFollowsEachPress)
{
    enum class Press
    {
        click,
        key,
        accessibilityPress,
        accessibilityToggle
    };

    for (const auto press : { Press::click, Press::key, Press::accessibilityPress, Press::accessibilityToggle })
    {
        SCOPED_TRACE ((int) press);

        for (const auto* name : { "VST3", "CLAP", "AAX" })
        {
            SCOPED_TRACE (name);
            auto& h = handler (name);
            const auto index = (size_t) juce::StringArray { "VST3", "CLAP", "AAX" }.indexOf (name);

            const auto pressOnce = [&] {
                switch (press)
                {
                    case Press::click:
                        mouse->click (buttonNamed (name));
                        mouse->leave();
                        break;
                    case Press::key:
                        tabTo (name);
                        key (juce::KeyPress::spaceKey);
                        break;
                    case Press::accessibilityPress: h.getActions().invoke (juce::AccessibilityActionType::press); break;
                    case Press::accessibilityToggle: h.getActions().invoke (juce::AccessibilityActionType::toggle); break;
                }

                pumpMessages (50); // the accessibility actions click through the message loop
            };

            const auto before = main->formatSelected[index];
            EXPECT_EQ (h.getCurrentState().isChecked(), before);
            EXPECT_TRUE (h.getTitle().endsWith (before ? ", selected" : ", not selected")) << h.getTitle();

            pressOnce();
            EXPECT_EQ (main->formatSelected[index], ! before);
            EXPECT_TRUE (h.getCurrentState().isCheckable());
            EXPECT_EQ (h.getCurrentState().isChecked(), ! before);
            EXPECT_TRUE (h.getTitle().endsWith (before ? ", not selected" : ", selected")) << h.getTitle();

            pressOnce();
            EXPECT_EQ (h.getCurrentState().isChecked(), before);
        }
    }

    // SELECT ALL checks every row; a run unchecks the rows it processed.
    key (juce::KeyPress::escapeKey);
    mouse->click (buttonNamed ("SELECT_ALL"));
    for (const auto* name : { "VST3", "CLAP", "AAX" })
        EXPECT_TRUE (handler (name).getCurrentState().isChecked()) << name;

    main->processSelectedFormats();
    for (const auto* name : { "VST3", "CLAP", "AAX" })
    {
        EXPECT_FALSE (handler (name).getCurrentState().isChecked()) << name;
        EXPECT_TRUE (handler (name).getTitle().startsWith (juce::String (name) + ", installed, ")) << handler (name).getTitle();
    }
}

TEST_F (Accessibility, InstallReadsUninstallWhileShiftIsHeld)
{
    auto& h = handler ("INSTALL");
    EXPECT_EQ (h.getTitle(), "Install");

    holdShift (true);
    EXPECT_EQ (h.getTitle(), "Uninstall");
    EXPECT_EQ (handler ("SELECT_ALL").getTitle(), "Select all formats") << "Shift renames nothing else";

    holdShift (false);
    EXPECT_EQ (h.getTitle(), "Install");
}

TEST_F (Accessibility, ARunIsAnnouncedWithTheLinesSentence)
{
    struct Case
    {
        const char* what;
        std::function<void (MainComponent&)> prepare;
        bool uninstall;
        bool succeeded;
        bool namesVst3Folder = false;
    };
    const Case cases[] {
        { "install of VST3", [] (MainComponent& m) { m.formatSelected = { true, false, false }; }, false, true },
        { "nothing selected", [] (MainComponent&) {}, false, false },
        { "VST3's folder is a file",
          [this] (MainComponent& m) {
              m.formatPaths[0] = root.getChildFile ("vst3-is-a-file");
              m.formatPaths[0].create();
              m.formatSelected = { true, true, false };
          },
          false, false, true },
        { "uninstall of CLAP", [] (MainComponent& m) { m.formatSelected = { false, true, false }; }, true, true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        c.prepare (*main);
        tabTo ("INSTALL");
        key (juce::KeyPress::returnKey, c.uninstall ? juce::ModifierKeys::shiftModifier : 0);

        ASSERT_NE (main->successPanel, nullptr);
        EXPECT_EQ (main->successPanel->succeeded, c.succeeded);

        const juce::String verdict (c.succeeded ? "Operation Successful!" : "Operation failed!");
        ASSERT_EQ (main->runReport.has_value(), ! c.succeeded) << "these failures leave a sentence, these successes none";

        if (main->runReport.has_value())
        {
            // The line's sentence, with its paths in full where the line had to shorten them.
            const auto sentence = qv::runSentence (main->runReport->outcome, main->runReport->uninstall);
            EXPECT_EQ (main->lastAnnouncement, verdict + " " + sentence);
            EXPECT_TRUE (main->lastAnnouncement.endsWith (main->hintLabel->getText().fromLastOccurrenceOf (juce::String (juce::CharPointer_UTF8 ("\xe2\x80\xa6")), false, false)));

            if (c.namesVst3Folder)
            {
                EXPECT_TRUE (main->lastAnnouncement.contains (main->formatPaths[0].getFullPathName())) << main->lastAnnouncement;
            }
        }
        else
        {
            EXPECT_EQ (main->lastAnnouncement, verdict);
        }
    }
}

TEST (RunAnnouncement, ThePanelsWordsThenTheSentenceInFull)
{
    qv::RunOutcome success;
    success.succeeded = true;
    success.processed = { true, false, false };
    EXPECT_EQ (qv::runAnnouncement (success, false), "Operation Successful!");
    EXPECT_EQ (qv::runAnnouncement (success, false), panel_success::successText);

    qv::RunOutcome nothing;
    EXPECT_EQ (qv::runAnnouncement (nothing, false), juce::String ("Operation failed! ") + qv::nothingSelectedSentence);
    EXPECT_EQ (qv::runAnnouncement (nothing, false), "Operation failed! Select a format first.");

    // A success can carry a sentence too: the programs that still run the old version.
    auto held = success;
    held.stillRunningOld[0] = juce::StringArray { "standin-host" };
    const auto sentence = qv::runSentence (held, false);
    ASSERT_TRUE (sentence.contains ("standin-host")) << sentence;
    EXPECT_EQ (qv::runAnnouncement (held, false), "Operation Successful! " + sentence);

    // The path is never shortened: a screen reader has no line to fit.
    qv::RunOutcome failed;
    failed.processed = { true, false, false };
    const auto longPath = "/" + juce::String::repeatedString ("a-rather-long-folder-name/", 8) + "vst3";
    failed.problems[0] = qv::Problem::of (qv::Problem::Kind::folderNotCreated, juce::File (longPath), "mkdir failed");
    failed.results[0] = failed.problems[0].toResult();
    const auto announced = qv::runAnnouncement (failed, false);
    EXPECT_TRUE (announced.startsWith ("Operation failed! VST3: ")) << announced;
    EXPECT_TRUE (announced.contains (longPath)) << announced;
}
