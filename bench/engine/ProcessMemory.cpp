#include "ProcessMemory.h"
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <utility>

namespace bench
{
    namespace
    {
        int64_t kilobytesField (const std::string& line, const char* key)
        {
            const auto keyLength = std::strlen (key);

            if (line.compare (0, keyLength, key) != 0 || line.size() <= keyLength || line[keyLength] != ':')
                return -1;

            std::istringstream values (line.substr (keyLength + 1));
            int64_t kilobytes = -1;
            values >> kilobytes;
            return kilobytes < 0 ? -1 : kilobytes * 1024;
        }
    }

    ResidentMemory readResidentMemory()
    {
        ResidentMemory memory;
        std::ifstream status ("/proc/self/status");

        const std::pair<const char*, int64_t*> fields[] { { "VmRSS", &memory.currentBytes },
                                                          { "VmHWM", &memory.peakBytes },
                                                          { "RssAnon", &memory.anonymousBytes },
                                                          { "RssFile", &memory.fileBytes } };

        for (std::string line; std::getline (status, line);)
            for (const auto& [key, target] : fields)
                if (const auto bytes = kilobytesField (line, key); bytes >= 0)
                    *target = bytes;

        return memory;
    }

    bool resetPeakResidentMemory (std::string& error)
    {
        // "5" resets the peak resident set size to the current one (proc(5), clear_refs).
        std::ofstream clearRefs ("/proc/self/clear_refs");
        clearRefs << "5";
        clearRefs.flush();

        if (! clearRefs)
        {
            error = "cannot write /proc/self/clear_refs: " + std::string (std::strerror (errno));
            return false;
        }

        return true;
    }
}
