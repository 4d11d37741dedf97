#include "core/model/LogFont.h"

#include <algorithm>
#include <cstring>

namespace velkan {

namespace {

void PutInt(unsigned char* p, int32_t v)
{
    auto u = static_cast<uint32_t>(v);
    p[0] = static_cast<unsigned char>(u);
    p[1] = static_cast<unsigned char>(u >> 8);
    p[2] = static_cast<unsigned char>(u >> 16);
    p[3] = static_cast<unsigned char>(u >> 24);
}

int32_t GetInt(const unsigned char* p)
{
    return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                                uint32_t(p[3]) << 24);
}

}  // namespace

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
    PutInt(&b[0], lfHeight);
    PutInt(&b[4], lfWidth);
    PutInt(&b[8], lfEscapement);
    PutInt(&b[12], lfOrientation);
    PutInt(&b[16], lfWeight);
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
    f.lfHeight = GetInt(&b[0]);
    f.lfWidth = GetInt(&b[4]);
    f.lfEscapement = GetInt(&b[8]);
    f.lfOrientation = GetInt(&b[12]);
    f.lfWeight = GetInt(&b[16]);
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
