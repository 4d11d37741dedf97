// The runtime resources this builder carries: four Windows programs that the builder can patch
// and that depend on nothing outside Windows, and four dialog-template blocks in the packed-body
// form with the block layout the wizard reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/compress/CDecompressor.h"
#include "core/package/PackageFormat.h"
#include "core/package/StubImage.h"
#include "core/res/RuntimeResources.h"
#include "runtime/RuntimeSlots.h"
#include "runtime/WizardDialogs.h"

using namespace velkan;

namespace {

uint32_t U32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

uint16_t U16(const std::vector<uint8_t>& b, size_t at)
{
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

// The names of the DLLs the program imports, from its import directory.
std::vector<std::string> ImportedDlls(const std::vector<uint8_t>& pe)
{
    uint32_t header = U32(pe, 0x3C);
    uint16_t sectionCount = U16(pe, header + 6);
    uint16_t optionalSize = U16(pe, header + 20);
    size_t optional = header + 24;
    // Data directory 1; the directories follow a longer header in PE32+.
    uint32_t importRva = U32(pe, optional + (U16(pe, optional) == 0x20B ? 120 : 104));
    size_t sections = optional + optionalSize;
    auto toFile = [&](uint32_t rva) -> size_t {
        for (uint16_t i = 0; i < sectionCount; ++i) {
            size_t s = sections + 40 * i;
            uint32_t va = U32(pe, s + 12), size = U32(pe, s + 8), raw = U32(pe, s + 20);
            if (rva >= va && rva < va + size) return rva - va + raw;
        }
        return 0;
    };
    std::vector<std::string> names;
    for (size_t d = toFile(importRva); d && d + 20 <= pe.size() && U32(pe, d + 12) != 0; d += 20) {
        names.emplace_back(reinterpret_cast<const char*>(&pe[toFile(U32(pe, d + 12))]));
        for (char& c : names.back())
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return names;
}

class RuntimeProgram : public ::testing::TestWithParam<int> {};

TEST_P(RuntimeProgram, IsAPatchableWindowsProgramOfItsOwn)
{
    auto image = LoadRuntimeResource(GetParam());
    ASSERT_TRUE(image.has_value());
    ASSERT_GT(image->size(), 4096u);
    EXPECT_EQ((*image)[0], 'M');
    EXPECT_EQ((*image)[1], 'Z');
    uint32_t header = U32(*image, 0x3C);
    ASSERT_EQ(std::memcmp(&(*image)[header], "PE\0\0", 4), 0);
    EXPECT_EQ(U16(*image, header + 24 + 68), 2) << "subsystem windows";

    // One marker of each kind, so the builder's first match is the slot the program reads.
    EXPECT_EQ(CountMarkers(image->data(), image->size(), package::kSizeMarker), 1u);
    EXPECT_EQ(CountMarkers(image->data(), image->size(), package::kKeyMarker), 1u);
    EXPECT_EQ(ReadKeySeed(image->data(), image->size()),
              runtime::kRuntimeKeySlot ^ package::kKeySlotXor);
    std::vector<uint8_t> patched = *image;
    ASSERT_TRUE(PatchSizeSlot(patched));
    size_t slot = *FindMarker(patched.data(), patched.size(), package::kSizeMarker) + 6;
    EXPECT_EQ(U32(patched, slot), patched.size());

    // Static: nothing but Windows's own DLLs.
    const std::vector<std::string> allowed = {"kernel32.dll", "user32.dll", "advapi32.dll",
                                              "shell32.dll",  "ole32.dll",  "gdi32.dll",
                                              "comctl32.dll", "msvcrt.dll"};
    std::vector<std::string> dlls = ImportedDlls(*image);
    EXPECT_FALSE(dlls.empty());
    for (const std::string& dll : dlls) {
        EXPECT_NE(std::find(allowed.begin(), allowed.end(), dll), allowed.end()) << dll;
    }
}

INSTANTIATE_TEST_SUITE_P(SetupAndUninstaller, RuntimeProgram,
                         ::testing::Values(500, 501, 506, 507));

TEST(DialogBlocks, AreTwelvePackedTemplatesInTheirPlatformForm)
{
    struct Case {
        int id;
        bool win31;
        bool bitmap;
    } cases[] = {{502, false, false}, {503, false, true}, {504, true, false}, {505, true, true}};
    std::vector<int> itemCounts;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        auto body = LoadRuntimeResource(c.id);
        ASSERT_TRUE(body.has_value());
        ASSERT_GT(body->size(), 4u);
        uint32_t size = U32(*body, 0);
        std::vector<uint8_t> block =
            CDecompressor::Unpack(body->data() + 4, body->size() - 4, size);
        ASSERT_EQ(block.size(), size);
        EXPECT_EQ(block, runtime::BuildDialogBlock(c.win31, c.bitmap));
        ASSERT_GE(block.size(), 48u);
        EXPECT_EQ(U32(block, 0), 48u);
        for (int i = 1; i < 12; ++i) {
            EXPECT_GT(U32(block, 4 * i), U32(block, 4 * (i - 1)));
            EXPECT_LT(U32(block, 4 * i), block.size());
            if (!c.win31) {
                EXPECT_EQ(U32(block, 4 * i) % 4, 0u) << "a Win32 template starts on a DWORD";
            }
        }
        // The wizard frame: its width and item count (one more item, the bitmap, when wider).
        size_t frame = U32(block, 0);
        uint16_t cx = c.win31 ? U16(block, frame + 9) : U16(block, frame + 14);
        int items = c.win31 ? block[frame + 4] : U16(block, frame + 8);
        EXPECT_EQ(cx, c.bitmap ? 288 : 236);
        itemCounts.push_back(items);
    }
    EXPECT_EQ(itemCounts[1], itemCounts[0] + 1);
    EXPECT_EQ(itemCounts[3], itemCounts[2] + 1);
}

}  // namespace
