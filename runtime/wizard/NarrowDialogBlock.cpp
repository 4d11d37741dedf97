#include "runtime/wizard/NarrowDialogBlock.h"

#include <iterator>
#include <string>

#include "core/stream/LittleEndian.h"
#include "runtime/WizardDialogs.h"
#include "runtime/wizard/NarrowTemplate.h"

namespace velkan::runtime {

namespace {

// The frame the 8-bit form draws in place of the progress bar becomes the bar, with the border
// the frame stood for.
void RestoreProgressBar(DialogTemplateFields& t)
{
    for (DialogItemFields& item : t.items) {
        if (item.id != kIdProgress || item.cls.ordinal != kStatic ||
            (item.style & kSsTypeMask) != kSsBlackFrame) {
            continue;
        }
        item.cls = NameOrOrdinal{
            std::nullopt, std::wstring(std::begin(kProgressClass), std::end(kProgressClass) - 1)};
        item.style = (item.style & 0xFFFF0000u) | kWsBorder;
    }
}

}  // namespace

std::optional<std::vector<uint8_t>> WidenDialogBlock(const std::vector<uint8_t>& block)
{
    if (block.size() < kDialogBlockTableSize) return std::nullopt;
    std::vector<uint8_t> wide(kDialogBlockTableSize, 0);
    for (size_t i = 0; i < kWizardDialogCount; ++i) {
        const uint8_t* p = block.data() + 4 * i;
        size_t offset = LoadLE32(p);
        if (offset < kDialogBlockTableSize || offset >= block.size()) return std::nullopt;
        std::optional<DialogTemplateFields> fields =
            ReadNarrowTemplate(block.data() + offset, block.size() - offset);
        if (!fields) return std::nullopt;
        RestoreProgressBar(*fields);
        uint32_t wideOffset = static_cast<uint32_t>(wide.size());
        for (int b = 0; b < 4; ++b) wide[4 * i + b] = static_cast<uint8_t>(wideOffset >> (8 * b));
        std::vector<uint8_t> widened = WriteWideTemplate(*fields);
        wide.insert(wide.end(), widened.begin(), widened.end());
    }
    return wide;
}

std::vector<uint8_t> PackageDialogBlock(const std::vector<uint8_t>& block)
{
#ifdef VELKAN_WIN31_LAYOUT
    return WidenDialogBlock(block).value_or(std::vector<uint8_t>{});
#else
    return block;
#endif
}

}  // namespace velkan::runtime
