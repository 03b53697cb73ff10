#include "InstallEngine.h"

namespace qv
{
RunOutcome processFormats (const RunRequest&)
{
    return {};
}
}
