#include "core/package/DataSection.h"

#include <vector>

#include "core/package/CSectionWriter.h"
#include "core/package/PackageFormat.h"
#include "core/stream/CFileException.h"
#include "core/stream/IByteSource.h"

namespace velkan {

using namespace package;

void WriteDataSection(CSectionWriter& writer, IByteSource& data, uint64_t length)
{
    if (length > 0xFFFFFFFFull) {
        throw CFileException("", "the data of the setup program exceeds 4 GB");
    }
    writer.BeginSection(kDataSection, 0, static_cast<uint32_t>(length));
    writer.WriteU32(static_cast<uint32_t>(length));
    std::vector<uint8_t> piece(kFilePiece);
    uint64_t left = length;
    while (left > 0) {
        size_t want = left < piece.size() ? static_cast<size_t>(left) : piece.size();
        size_t got = data.Read(piece.data(), want);
        if (got == 0) throw CFileException("", "the data stream ended before its length");
        writer.Write(piece.data(), got);
        left -= got;
    }
}

}  // namespace velkan
