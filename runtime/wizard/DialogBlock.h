// Reading the dialog-template block a package carries: a table of 12 u32 offsets, then the
// Win32 templates. The block comes from the package, so every template is walked within its
// bounds before Windows is given it: a damaged block is refused, never handed on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velkan::runtime {

// More items than any of our templates has: a count above it is damage, not a dialog.
constexpr uint16_t kMaxDialogItems = 64;

class CDialogBlock {
public:
    // Checks every template of the block; Valid() says whether all of them passed.
    explicit CDialogBlock(const std::vector<uint8_t>& block);

    bool Valid() const { return m_bValid; }
    // Template index (WizardDialog) as DLGTEMPLATE bytes, DWORD-aligned in memory; nullptr when
    // the block is not valid or the index is out of range.
    const void* Template(size_t index) const;
    // Changes the style of template index's items of the given id and predefined class (its
    // atom): the bits of clear off, those of add on. The runtime's own copy changes, so that the
    // windows made from it behave as the runtime needs whatever the package's author set; false
    // when the template has no such item.
    bool AdjustItemStyle(size_t index, uint16_t id, uint16_t classAtom, uint32_t clear,
                         uint32_t add);

private:
    std::vector<uint32_t> m_words;  // the block, aligned as Windows wants templates
    std::vector<size_t> m_offsets;
    bool m_bValid = false;
};

// The size of the Win32 DLGTEMPLATE starting at data[0] within size bytes, or 0 when it runs
// past the end or is not of the plain (not extended) form.
size_t WideTemplateSize(const uint8_t* data, size_t size);

}  // namespace velkan::runtime
