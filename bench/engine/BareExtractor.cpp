#include "BareExtractor.h"
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#include <zlib.h>

namespace bench
{
    namespace
    {
        uint32_t read16 (const unsigned char* p) { return (uint32_t) p[0] | ((uint32_t) p[1] << 8); }
        uint32_t read32 (const unsigned char* p) { return read16 (p) | (read16 (p + 2) << 16); }

        struct Entry
        {
            std::string name;
            uint32_t method = 0;
            uint32_t compressedSize = 0;
            uint32_t uncompressedSize = 0;
            size_t dataOffset = 0;
        };

        bool readEntries (const unsigned char* zip, size_t size, std::vector<Entry>& entries, std::string& error)
        {
            // The end-of-central-directory record sits in the last 22 bytes plus any comment.
            const size_t eocdSize = 22;
            const size_t earliest = size > eocdSize + 0xffff ? size - eocdSize - 0xffff : 0;
            size_t eocd = size;

            for (size_t pos = size >= eocdSize ? size - eocdSize + 1 : 0; pos-- > earliest;)
                if (read32 (zip + pos) == 0x06054b50)
                {
                    eocd = pos;
                    break;
                }

            if (eocd == size)
            {
                error = "no end of central directory";
                return false;
            }

            const auto count = read16 (zip + eocd + 10);
            size_t pos = read32 (zip + eocd + 16);

            for (uint32_t i = 0; i < count; ++i)
            {
                if (pos + 46 > size || read32 (zip + pos) != 0x02014b50)
                {
                    error = "bad central directory entry";
                    return false;
                }

                Entry entry;
                entry.method = read16 (zip + pos + 10);
                entry.compressedSize = read32 (zip + pos + 20);
                entry.uncompressedSize = read32 (zip + pos + 24);
                const auto nameLength = read16 (zip + pos + 28);
                const auto extraLength = read16 (zip + pos + 30);
                const auto commentLength = read16 (zip + pos + 32);
                const size_t local = read32 (zip + pos + 42);
                entry.name.assign ((const char*) zip + pos + 46, nameLength);
                std::replace (entry.name.begin(), entry.name.end(), '\\', '/');

                if (local + 30 > size || read32 (zip + local) != 0x04034b50)
                {
                    error = "bad local header for " + entry.name;
                    return false;
                }

                entry.dataOffset = local + 30 + read16 (zip + local + 26) + read16 (zip + local + 28);

                if (entry.dataOffset + entry.compressedSize > size)
                {
                    error = "entry data past the end for " + entry.name;
                    return false;
                }

                entries.push_back (std::move (entry));
                pos += 46 + nameLength + extraLength + commentLength;
            }

            return true;
        }

        bool makeFolders (const std::string& path, std::string& error)
        {
            for (size_t slash = path.find ('/', 1);; slash = path.find ('/', slash + 1))
            {
                const auto prefix = path.substr (0, slash);

                if (mkdir (prefix.c_str(), 0755) != 0 && errno != EEXIST)
                {
                    error = "mkdir " + prefix + ": " + std::strerror (errno);
                    return false;
                }

                if (slash == std::string::npos)
                    return true;
            }
        }

        class OutputFile
        {
        public:
            explicit OutputFile (const std::string& pathToUse)
                : path (pathToUse),
                  fd (open (path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644))
            {
            }

            ~OutputFile()
            {
                if (fd >= 0)
                    close (fd);
            }

            bool write (const unsigned char* data, size_t size, std::string& error)
            {
                if (fd < 0)
                    return fail ("open", error);

                while (size > 0)
                {
                    const auto written = ::write (fd, data, size);

                    if (written < 0 && errno == EINTR)
                        continue;

                    if (written <= 0)
                        return fail ("write", error);

                    data += written;
                    size -= (size_t) written;
                }

                return true;
            }

            bool finish (bool sync, std::string& error)
            {
                if (sync && fsync (fd) != 0)
                    return fail ("fsync", error);

                const auto closed = close (fd);
                fd = -1;
                return closed == 0 || fail ("close", error);
            }

        private:
            bool fail (const char* what, std::string& error) const
            {
                error = std::string (what) + " " + path + ": " + std::strerror (errno);
                return false;
            }

            std::string path;
            int fd = -1;
        };

        // Inflates in pieces that stay in the cache and writes each piece as it comes: the cheapest way
        // to do the work with zlib and plain writes.
        bool inflateToFile (const unsigned char* source, const Entry& entry, OutputFile& out, std::vector<unsigned char>& buffer, std::string& error)
        {
            z_stream stream {};

            if (inflateInit2 (&stream, -MAX_WBITS) != Z_OK)
            {
                error = "inflateInit2 failed";
                return false;
            }

            stream.next_in = const_cast<unsigned char*> (source);
            stream.avail_in = entry.compressedSize;
            auto result = Z_OK;

            while (result == Z_OK)
            {
                stream.next_out = buffer.data();
                stream.avail_out = (uInt) buffer.size();
                result = inflate (&stream, Z_NO_FLUSH);

                if ((result == Z_OK || result == Z_STREAM_END)
                    && ! out.write (buffer.data(), buffer.size() - stream.avail_out, error))
                {
                    inflateEnd (&stream);
                    return false;
                }
            }

            const auto produced = stream.total_out;
            inflateEnd (&stream);

            if (result != Z_STREAM_END || produced != entry.uncompressedSize)
            {
                error = "inflate failed for " + entry.name;
                return false;
            }

            return true;
        }
    }

    bool extractBare (const void* archive, size_t archiveSize, const std::string& targetFolder, bool syncEachFile, std::string& error)
    {
        const auto* zip = static_cast<const unsigned char*> (archive);
        std::vector<Entry> entries;

        if (! readEntries (zip, archiveSize, entries, error))
            return false;

        std::vector<unsigned char> buffer (256 * 1024);

        for (const auto& entry : entries)
        {
            const auto path = targetFolder + "/" + entry.name;

            if (! entry.name.empty() && entry.name.back() == '/')
            {
                if (! makeFolders (path.substr (0, path.size() - 1), error))
                    return false;

                continue;
            }

            if (! makeFolders (path.substr (0, path.rfind ('/')), error))
                return false;

            if (entry.method != 0 && entry.method != 8)
            {
                error = "unsupported method for " + entry.name;
                return false;
            }

            OutputFile out (path);
            const auto written = entry.method == 0 ? out.write (zip + entry.dataOffset, entry.compressedSize, error)
                                                   : inflateToFile (zip + entry.dataOffset, entry, out, buffer, error);

            if (! written || ! out.finish (syncEachFile, error))
                return false;
        }

        return true;
    }
}
