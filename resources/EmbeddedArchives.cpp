#include "EmbeddedArchives.h"
#include <BinaryData.h>

namespace qv
{
    std::array<ArchiveBytes, 3> embeddedArchives()
    {
        return { ArchiveBytes { BinaryData::vst3_zip, (size_t) BinaryData::vst3_zipSize },
                 ArchiveBytes { BinaryData::clap_zip, (size_t) BinaryData::clap_zipSize },
                 ArchiveBytes { BinaryData::aax_zip, (size_t) BinaryData::aax_zipSize } };
    }
}
