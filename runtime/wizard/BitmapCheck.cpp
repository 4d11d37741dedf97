#include "runtime/wizard/BitmapCheck.h"

namespace velkan::runtime {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
// Larger than any screen: a bigger claim is damage, and would cost memory out of proportion.
constexpr int32_t kMaxSide = 16384;
constexpr uint32_t kRgb = 0, kBitFields = 3;

uint32_t U32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

uint16_t U16(const std::vector<uint8_t>& b, size_t at)
{
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

}  // namespace

std::optional<CheckedBitmap> CheckBitmapFile(const std::vector<uint8_t>& file)
{
    if (file.size() < kFileHeaderSize + kInfoHeaderSize || file[0] != 'B' || file[1] != 'M')
        return std::nullopt;
    uint64_t bitsOffset = U32(file, 10);
    uint32_t headerSize = U32(file, 14);
    int32_t width = static_cast<int32_t>(U32(file, 18));
    int32_t height = static_cast<int32_t>(U32(file, 22));
    uint16_t planes = U16(file, 26), bitCount = U16(file, 28);
    uint32_t compression = U32(file, 30), colorsUsed = U32(file, 46);
    if (headerSize < kInfoHeaderSize || kFileHeaderSize + uint64_t{headerSize} > file.size())
        return std::nullopt;
    if (planes != 1 || width <= 0 || width > kMaxSide || height == 0 || height < -kMaxSide ||
        height > kMaxSide) {
        return std::nullopt;
    }
    bool known = bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 ||
                 bitCount == 24 || bitCount == 32;
    if (!known) return std::nullopt;
    if (compression != kRgb && !(compression == kBitFields && (bitCount == 16 || bitCount == 32)))
        return std::nullopt;
    uint64_t tables = 0;
    if (bitCount <= 8) {
        uint32_t entries = colorsUsed ? colorsUsed : 1u << bitCount;
        if (entries > (1u << bitCount)) return std::nullopt;
        tables = uint64_t{entries} * 4;
    } else if (compression == kBitFields && headerSize == kInfoHeaderSize) {
        tables = 12;  // the three masks follow the short header
    }
    if (kFileHeaderSize + headerSize + tables > bitsOffset) return std::nullopt;
    uint64_t rows = static_cast<uint64_t>(height < 0 ? -int64_t{height} : height);
    uint64_t stride = (uint64_t{static_cast<uint32_t>(width)} * bitCount + 31) / 32 * 4;
    if (bitsOffset > file.size() || stride * rows > file.size() - bitsOffset) return std::nullopt;
    CheckedBitmap bitmap;
    bitmap.bitsOffset = static_cast<size_t>(bitsOffset);
    bitmap.width = width;
    bitmap.height = static_cast<int32_t>(rows);
    return bitmap;
}

}  // namespace velkan::runtime
