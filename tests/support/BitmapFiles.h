// Bitmap files of every form Windows draws, made from one picture of palette indexes, so that a
// test can compare what each form decodes to with the picture it was made from.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace velkan::test {

enum class BitmapForm { Bits1, Bits4, Bits8, Bits16, Bits24, Bits32, Masks32, Rle4, Rle8, TopDown };

struct BitmapFormCase {
    const char* name;
    BitmapForm form;
    int levels;  // palette indexes the picture may use in this form
};

inline const std::vector<BitmapFormCase>& EveryBitmapForm()
{
    static const std::vector<BitmapFormCase> forms = {
        {"bits1", BitmapForm::Bits1, 2},       {"bits4", BitmapForm::Bits4, 16},
        {"bits8", BitmapForm::Bits8, 256},     {"bits16", BitmapForm::Bits16, 8},
        {"bits24", BitmapForm::Bits24, 256},   {"bits32", BitmapForm::Bits32, 256},
        {"masks32", BitmapForm::Masks32, 256}, {"rle4", BitmapForm::Rle4, 16},
        {"rle8", BitmapForm::Rle8, 256},       {"topdown", BitmapForm::TopDown, 256},
    };
    return forms;
}

// Palette colour i as 0x00RRGGBB: the first eight are pure (exact in 5 bits a channel too).
inline uint32_t PaletteColour(uint32_t i)
{
    if (i < 8) return (i & 4 ? 0xFF0000u : 0) | (i & 2 ? 0xFF00u : 0) | (i & 1 ? 0xFFu : 0);
    return (i * 0x9E3779B1u) & 0xFFFFFFu;
}

// Picture: index at (x, y), rows top-down.
using BitmapPicture = std::function<uint32_t(int x, int y)>;

namespace detail {

inline void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (size_t i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// One row of indexes, run-length packed; runs of two or more as runs, the rest as absolute
// stretches of three or more (shorter ones as runs of one).
inline void PackRow(std::vector<uint8_t>& out, const std::vector<uint32_t>& row, bool fourBits)
{
    size_t x = 0;
    auto runLength = [&](size_t at) {
        size_t n = 1;
        while (at + n < row.size() && row[at + n] == row[at] && n < 255) ++n;
        return n;
    };
    while (x < row.size()) {
        size_t run = runLength(x);
        if (run >= 2) {
            out.push_back(static_cast<uint8_t>(run));
            out.push_back(static_cast<uint8_t>(fourBits ? row[x] << 4 | row[x] : row[x]));
            x += run;
            continue;
        }
        size_t end = x;
        while (end < row.size() && end - x < 255 && runLength(end) < 2) ++end;
        size_t n = end - x;
        if (n < 3) {
            for (; x < end; ++x) {
                out.push_back(1);
                out.push_back(static_cast<uint8_t>(fourBits ? row[x] << 4 : row[x]));
            }
            continue;
        }
        out.push_back(0);
        out.push_back(static_cast<uint8_t>(n));
        size_t bytes = 0;
        for (size_t i = 0; i < n; i += fourBits ? 2 : 1, ++bytes) {
            uint32_t v = row[x + i];
            if (fourBits) v = v << 4 | (i + 1 < n ? row[x + i + 1] : 0);
            out.push_back(static_cast<uint8_t>(v));
        }
        if (bytes % 2) out.push_back(0);
        x = end;
    }
}

}  // namespace detail

inline std::vector<uint8_t> MakeBitmapFile(BitmapForm form, int w, int h,
                                           const BitmapPicture& picture)
{
    using detail::Put32;
    const bool rle = form == BitmapForm::Rle4 || form == BitmapForm::Rle8;
    uint16_t bits = 24;
    switch (form) {
    case BitmapForm::Bits1: bits = 1; break;
    case BitmapForm::Bits4:
    case BitmapForm::Rle4: bits = 4; break;
    case BitmapForm::Bits8:
    case BitmapForm::Rle8: bits = 8; break;
    case BitmapForm::Bits16: bits = 16; break;
    case BitmapForm::Bits32:
    case BitmapForm::Masks32: bits = 32; break;
    default: break;
    }
    const uint32_t compression = form == BitmapForm::Rle8      ? 1
                                 : form == BitmapForm::Rle4    ? 2
                                 : form == BitmapForm::Masks32 ? 3
                                                               : 0;
    const uint32_t masks = form == BitmapForm::Masks32 ? 12 : 0;
    const uint32_t palette = bits <= 8 ? (1u << bits) * 4 : 0;
    const uint32_t offset = 14 + 40 + masks + palette;
    std::vector<uint8_t> b(offset, 0);
    b[0] = 'B', b[1] = 'M';
    Put32(b, 10, offset);
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<uint32_t>(w));
    Put32(b, 22, static_cast<uint32_t>(form == BitmapForm::TopDown ? -h : h));
    b[26] = 1;
    b[28] = static_cast<uint8_t>(bits);
    Put32(b, 30, compression);
    if (masks) {  // blue and red swapped against the usual order, to be read, not assumed
        Put32(b, 54, 0x000000FF);
        Put32(b, 58, 0x0000FF00);
        Put32(b, 62, 0x00FF0000);
    }
    for (uint32_t i = 0; i < palette / 4; ++i) Put32(b, 54 + 4 * i, PaletteColour(i));
    const uint32_t stride = (static_cast<uint32_t>(w) * bits + 31) / 32 * 4;
    for (int r = 0; r < h; ++r) {
        const int y = form == BitmapForm::TopDown ? r : h - 1 - r;  // file rows bottom-up
        std::vector<uint32_t> row;
        for (int x = 0; x < w; ++x) row.push_back(picture(x, y));
        if (rle) {
            detail::PackRow(b, row, form == BitmapForm::Rle4);
            b.push_back(0);
            b.push_back(r + 1 < h ? 0 : 1);  // end of the row, or of the bitmap
            continue;
        }
        std::vector<uint8_t> bytes(stride, 0);
        for (size_t x = 0; x < row.size(); ++x) {
            const uint32_t c = PaletteColour(row[x]);
            switch (bits) {
            case 1: bytes[x / 8] |= static_cast<uint8_t>(row[x] << (7 - x % 8)); break;
            case 4: bytes[x / 2] |= static_cast<uint8_t>(x % 2 ? row[x] : row[x] << 4); break;
            case 8: bytes[x] = static_cast<uint8_t>(row[x]); break;
            case 16: {
                const uint32_t v =
                    ((c >> 19) & 0x1F) << 10 | ((c >> 11) & 0x1F) << 5 | ((c >> 3) & 0x1F);
                bytes[2 * x] = static_cast<uint8_t>(v);
                bytes[2 * x + 1] = static_cast<uint8_t>(v >> 8);
                break;
            }
            case 24:
                for (size_t i = 0; i < 3; ++i)
                    bytes[3 * x + i] = static_cast<uint8_t>(c >> (8 * i));
                break;
            default: {
                // Masks32 holds red in the low byte; an alpha byte that a plain 32-bit form ignores.
                const uint32_t v = form == BitmapForm::Masks32
                                       ? (c >> 16 & 0xFF) | (c & 0xFF00) | (c & 0xFF) << 16
                                       : c | 0x80000000u;
                for (size_t i = 0; i < 4; ++i)
                    bytes[4 * x + i] = static_cast<uint8_t>(v >> (8 * i));
            }
            }
        }
        b.insert(b.end(), bytes.begin(), bytes.end());
    }
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    return b;
}

}  // namespace velkan::test
