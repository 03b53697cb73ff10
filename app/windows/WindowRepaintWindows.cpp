#include "app/WindowRepaint.h"

namespace qv::platform
{
    namespace
    {
        /*  JUCE 7 on Windows holds a window's repaints back until DXGI reports a vertical blank of the
            window's monitor. Where none ever comes (under Wine, whose IDXGIOutput::WaitForVBlank is a
            stub, and on displays without a DXGI output) the window would keep its first picture for
            good: clicks would act, but nothing on screen would change. While no vertical blank has been
            seen for a while, the held-back repaints are passed on at a display's usual rate instead.
        */
        class RepaintWithoutVBlank final : private juce::Timer,
                                           private juce::ComponentListener
        {
        public:
            explicit RepaintWithoutVBlank (juce::Component& w)
                : window (w),
                  vBlank (&w, [this] { lastVBlank = juce::Time::getMillisecondCounter(); })
            {
                window.addComponentListener (this);
                startTimerHz (60);
            }

            ~RepaintWithoutVBlank() override
            {
                window.removeComponentListener (this);
            }

        private:
            void timerCallback() override
            {
                if (juce::Time::getMillisecondCounter() - lastVBlank < vBlankTimeoutMs)
                    return;

                if (auto* peer = window.getPeer())
                    peer->performAnyPendingRepaintsNow();
            }

            // Owned by the window's lifetime: it goes when the window goes.
            void componentBeingDeleted (juce::Component&) override
            {
                delete this;
            }

            static constexpr juce::uint32 vBlankTimeoutMs = 250;

            juce::Component& window;
            juce::uint32 lastVBlank = 0;
            juce::VBlankAttachment vBlank;

            JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RepaintWithoutVBlank)
        };
    }

    void keepWindowRepainting (juce::Component& topLevelWindow)
    {
        new RepaintWithoutVBlank (topLevelWindow);
    }
}
