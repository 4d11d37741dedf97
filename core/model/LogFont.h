// A font description in the Windows LOGFONT layout with an 8-bit face name: the 60 bytes that the
// project file and the package store.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace velkan {

struct LogFont {
    int32_t lfHeight = 0;
    int32_t lfWidth = 0;
    int32_t lfEscapement = 0;
    int32_t lfOrientation = 0;
    int32_t lfWeight = 0;
    uint8_t lfItalic = 0;
    uint8_t lfUnderline = 0;
    uint8_t lfStrikeOut = 0;
    uint8_t lfCharSet = 0;
    uint8_t lfOutPrecision = 0;
    uint8_t lfClipPrecision = 0;
    uint8_t lfQuality = 0;
    uint8_t lfPitchAndFamily = 0;
    std::array<char, 32> lfFaceName{};

    static constexpr size_t kSize = 60;

    // Arial Black-style default title: height 50, weight 900, italic, character set 1, quality 2.
    static LogFont DefaultTitleFont();

    // The face name up to its first zero byte.
    std::string FaceName() const;
    // Sets the face name, cut to 31 bytes and zero-padded.
    void SetFaceName(const std::string& name);

    std::array<unsigned char, kSize> ToBytes() const;
    static LogFont FromBytes(const unsigned char* bytes);

    bool operator==(const LogFont&) const = default;
};

}  // namespace velkan
