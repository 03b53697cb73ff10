#pragma once

#include <juce_core/juce_core.h>

namespace qv
{
    /** Why a format could not be installed or removed, in terms the screen can explain to a
        musician (see ProblemSentences.h), with the technical detail for a log. */
    struct Problem
    {
        enum class Kind
        {
            none,
            noPermission,        // `place`: the folder that cannot be written
            notEnoughSpace,      // `place`: the folder; bytesNeeded and bytesFree
            inUse,               // `place`: the bundle; `programs` hold it
            folderNotCreated,    // `place`: the folder that cannot be created
            oldBundleNotRemoved, // `place`: the bundle that cannot be moved or deleted
            damagedArchive,      // the archive this installer carries cannot be extracted
            notWritten           // `place`: what could not be written or flushed to the disk
        };

        Kind kind = Kind::none;
        juce::File place;
        juce::int64 bytesNeeded = 0, bytesFree = 0;
        juce::StringArray programs;
        juce::String detail;

        bool failed() const { return kind != Kind::none; }

        static Problem none() { return {}; }

        static Problem of (Kind kind, const juce::File& place, const juce::String& detail)
        {
            Problem p;
            p.kind = kind;
            p.place = place;
            p.detail = detail;
            return p;
        }

        juce::Result toResult() const { return failed() ? juce::Result::fail (detail) : juce::Result::ok(); }
    };
}
