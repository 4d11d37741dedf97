// 8-bit dialog templates and blocks from anywhere: widening reads nothing outside the input, and
// whatever it accepts comes out as a Win32 template the runtime's own check walks to its end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "runtime/WizardDialogs.h"
#include "runtime/wizard/DialogBlock.h"
#include "runtime/wizard/NarrowDialogBlock.h"
#include "runtime/wizard/NarrowTemplate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace velkan::runtime;
    // The input alone (not in a larger buffer), so reading past its end is caught.
    std::vector<uint8_t> input(data, data + size);
    size_t length = 0;
    if (auto fields = ReadNarrowTemplate(input.data(), input.size(), &length)) {
        if (length > input.size()) std::abort();
        std::vector<uint8_t> wide = WriteWideTemplate(*fields);
        // High word 0xFFFF marks the extended form, which the check refuses on purpose.
        bool plain = (fields->style >> 16) != 0xFFFF;
        // The walk ends where the last item does, before the padding to a DWORD.
        size_t walked = WideTemplateSize(wide.data(), wide.size());
        if (plain && (walked == 0 || wide.size() - walked > 3)) std::abort();
    }
    if (auto block = WidenDialogBlock(input)) {
        bool plain = true;
        for (size_t i = 0; i < kWizardDialogCount; ++i) {
            const uint8_t* p = block->data() + 4 * i;
            size_t offset = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<size_t>(p[3]) << 24);
            plain = plain && (block->at(offset + 2) | (block->at(offset + 3) << 8)) != 0xFFFF;
        }
        if (plain && !CDialogBlock(*block).Valid()) std::abort();
    }
    return 0;
}
