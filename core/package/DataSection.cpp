#include "core/package/DataSection.h"

#include <cstdio>
#include <vector>

#include "core/package/CSectionWriter.h"
#include "core/package/PackageFormat.h"
#include "core/stream/CFileException.h"
#include "core/stream/IByteSource.h"

namespace velkan {

using namespace package;

std::string ContinuationFileName(const std::string& path, int n)
{
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".D%2.2d", n);
    size_t nameStart = path.find_last_of("/\\");
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < nameStart) return path + suffix;
    return path.substr(0, dot) + suffix;
}

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
