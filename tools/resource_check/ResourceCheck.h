#pragma once

#include "CheckOptions.h"

namespace qv::resourcecheck
{
    /** Checks every resource the options name and returns one line per problem, each beginning with
        the resource's path. Empty when all resources are sound. */
    juce::StringArray runResourceCheck (const CheckOptions& options);
}
