#include "RunAnnouncement.h"
#include "install/ProblemSentences.h"
#include "panels/panel_success.h"

namespace qv
{
    juce::String runAnnouncement (const RunOutcome& outcome, bool uninstall)
    {
        const juce::String verdict (outcome.succeeded ? panel_success::successText : panel_success::failureText);
        const auto sentence = runSentence (outcome, uninstall);

        return sentence.isEmpty() ? verdict : verdict + " " + sentence;
    }
}
