#include "core/model/LogFont.h"

#include <algorithm>
#include <cstring>

#include "core/stream/LittleEndian.h"

namespace velkan {

LogFont LogFont::DefaultTitleFont()
{
    LogFont f;
    f.lfHeight = 50;
    f.lfWeight = 900;
    f.lfItalic = 1;
    f.lfCharSet = 1;
    f.lfQuality = 2;
    f.SetFaceName("Arial");
    return f;
}

std::string LogFont::FaceName() const
{
    size_t n = 0;
    while (n < lfFaceName.size() && lfFaceName[n] != 0) ++n;
    return std::string(lfFaceName.data(), n);
}

void LogFont::SetFaceName(const std::string& name)
{
    lfFaceName.fill(0);
    std::memcpy(lfFaceName.data(), name.data(), std::min(name.size(), lfFaceName.size() - 1));
}

std::array<unsigned char, LogFont::kSize> LogFont::ToBytes() const
{
    std::array<unsigned char, kSize> b{};
    StoreLE32(&b[0], static_cast<uint32_t>(lfHeight));
    StoreLE32(&b[4], static_cast<uint32_t>(lfWidth));
    StoreLE32(&b[8], static_cast<uint32_t>(lfEscapement));
    StoreLE32(&b[12], static_cast<uint32_t>(lfOrientation));
    StoreLE32(&b[16], static_cast<uint32_t>(lfWeight));
    b[20] = lfItalic;
    b[21] = lfUnderline;
    b[22] = lfStrikeOut;
    b[23] = lfCharSet;
    b[24] = lfOutPrecision;
    b[25] = lfClipPrecision;
    b[26] = lfQuality;
    b[27] = lfPitchAndFamily;
    std::memcpy(&b[28], lfFaceName.data(), 32);
    return b;
}

LogFont LogFont::FromBytes(const unsigned char* b)
{
    LogFont f;
    f.lfHeight = static_cast<int32_t>(LoadLE32(&b[0]));
    f.lfWidth = static_cast<int32_t>(LoadLE32(&b[4]));
    f.lfEscapement = static_cast<int32_t>(LoadLE32(&b[8]));
    f.lfOrientation = static_cast<int32_t>(LoadLE32(&b[12]));
    f.lfWeight = static_cast<int32_t>(LoadLE32(&b[16]));
    f.lfItalic = b[20];
    f.lfUnderline = b[21];
    f.lfStrikeOut = b[22];
    f.lfCharSet = b[23];
    f.lfOutPrecision = b[24];
    f.lfClipPrecision = b[25];
    f.lfQuality = b[26];
    f.lfPitchAndFamily = b[27];
    std::memcpy(f.lfFaceName.data(), &b[28], 32);
    return f;
}

}  // namespace velkan
