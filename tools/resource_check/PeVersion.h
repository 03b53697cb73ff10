#pragma once

#include <juce_core/juce_core.h>

namespace qv::resourcecheck
{
    /** Reads the file version ("a.b.c.d", from VS_FIXEDFILEINFO) of the Windows module held in
        (data, size), the same number Windows' version API and juce::File::getVersion report. Works on
        any host: it walks the PE headers, the resource directory and the RT_VERSION block itself.
        Fails with a reason when the bytes are no PE image or carry no version resource. */
    juce::Result readPeFileVersion (const void* data, size_t size, juce::String& version);
}
