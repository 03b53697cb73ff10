#pragma once

#include "install/InstallEngine.h"

namespace qv
{
    /** The three archives this program carries, by format index, as the engine reads them. */
    std::array<ArchiveBytes, 3> embeddedArchives();
}
