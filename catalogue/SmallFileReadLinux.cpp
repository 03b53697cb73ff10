#include "SmallFileRead.h"
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qv::platform
{
    std::optional<juce::MemoryBlock> readSmallRegularFile (const juce::File& file, juce::int64 maxBytes)
    {
        // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer that never comes.
        const int fd = ::open (file.getFullPathName().toRawUTF8(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);

        if (fd < 0)
            return {};

        std::optional<juce::MemoryBlock> result;
        struct stat info = {};

        if (::fstat (fd, &info) == 0 && S_ISREG (info.st_mode) && info.st_size <= maxBytes)
        {
            // Bounded even when the file grows while it is read.
            juce::MemoryBlock bytes ((size_t) maxBytes + 1);
            size_t total = 0;
            bool failed = false;

            while (total < bytes.getSize())
            {
                const auto n = ::read (fd, static_cast<char*> (bytes.getData()) + total, bytes.getSize() - total);

                if (n == 0)
                    break;

                if (n < 0)
                {
                    failed = (errno != EINTR);

                    if (failed)
                        break;

                    continue;
                }

                total += (size_t) n;
            }

            if (! failed && (juce::int64) total <= maxBytes)
            {
                bytes.setSize (total);
                result = std::move (bytes);
            }
        }

        ::close (fd);
        return result;
    }
}
