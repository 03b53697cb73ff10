#include "GuiTestSupport.h"
#include "install/RunLock.h"
#include "panels/panel_success.h"
#include <cstdlib>

using namespace qvtest;

// A window whose settings file another run (a script, a second window) is working on waits for
// it, then says why it did nothing.
TEST_F (OnScreenMain, ARunWaitsForAnotherOnTheSameSettingsAndSaysWhyWhenItGivesUp)
{
    setenv ("QV_TEST_RUN_LOCK_WAIT_MS", "300", 1);
    struct Unset
    {
        ~Unset() { unsetenv ("QV_TEST_RUN_LOCK_WAIT_MS"); }
    } unset;

    auto held = qv::RunLock::acquire (main->settingsFolder, 0);
    ASSERT_NE (held, nullptr);

    main->formatSelected = { true, false, false };
    const auto started = juce::Time::getMillisecondCounterHiRes();
    mouse->click (*main->installButton);

    EXPECT_GE (juce::Time::getMillisecondCounterHiRes() - started, 300.0) << "the run waited for the other";
    EXPECT_FALSE (main->isFormatInstalled (0));
    ASSERT_NE (main->successPanel, nullptr);
    EXPECT_FALSE (main->successPanel->succeeded);
    EXPECT_EQ (main->hintLabel->getText(), "Another installer run is busy with these folders. Wait for it to end, then try again.");

    // Once the other run is over, the same press installs.
    held.reset();
    main->formatSelected = { true, false, false };
    mouse->click (*main->installButton);
    EXPECT_TRUE (main->isFormatInstalled (0));
    EXPECT_TRUE (main->successPanel->succeeded);
}
