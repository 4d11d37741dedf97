#include "runtime/wizard/DialogBlock.h"

#include <cstring>

#include "core/stream/LittleEndian.h"
#include "runtime/WizardDialogs.h"
#include "runtime/wizard/TemplateBytes.h"

namespace velkan::runtime {

namespace {

class CWalker : public CTemplateReader {
public:
    using CTemplateReader::CTemplateReader;

    bool WideString()
    {
        for (uint16_t c = 1; c != 0;) {
            if (!U16(c)) return false;
        }
        return true;
    }
    // A name or an ordinal: 0 (none), 0xFFFF then a u16, or a wide string.
    bool NameOrOrdinal()
    {
        uint16_t first = 0;
        if (!U16(first)) return false;
        if (first == 0) return true;
        if (first == 0xFFFF) return Skip(2);
        return WideString();
    }
    bool Align() { return Skip((4 - Position() % 4) % 4); }
};

// Walks a template, calling onItem(item's offset) for each item; the template's size, or 0.
template <typename OnItem>
size_t WalkTemplate(const uint8_t* data, size_t size, OnItem onItem)
{
    CWalker w(data, size);
    uint32_t style = 0, exStyle = 0;
    uint16_t count = 0, extra = 0;
    if (!w.U32(style) || !w.U32(exStyle) || !w.U16(count) || !w.Skip(8)) return 0;
    if ((style & 0xFFFF0000u) == 0xFFFF0000u || count > kMaxDialogItems)
        return 0;  // the extended form
    if (!w.NameOrOrdinal() || !w.NameOrOrdinal() || !w.WideString()) return 0;
    if ((style & kDsSetFont) && (!w.Skip(2) || !w.WideString())) return 0;
    for (uint16_t i = 0; i < count; ++i) {
        if (!w.Align()) return 0;
        size_t item = w.Position();
        if (!w.Skip(18) || !w.NameOrOrdinal() || !w.NameOrOrdinal() || !w.U16(extra) ||
            !w.Skip(extra)) {
            return 0;
        }
        onItem(item);
    }
    return w.Position();
}

}  // namespace

size_t WideTemplateSize(const uint8_t* data, size_t size)
{
    return WalkTemplate(data, size, [](size_t) {});
}

CDialogBlock::CDialogBlock(const std::vector<uint8_t>& block)
{
    if (block.size() < kDialogBlockTableSize) return;
    m_words.resize((block.size() + 3) / 4);
    std::memcpy(m_words.data(), block.data(), block.size());
    for (size_t i = 0; i < kWizardDialogCount; ++i) {
        const uint8_t* p = block.data() + 4 * i;
        size_t offset = LoadLE32(p);
        if (offset < kDialogBlockTableSize || offset % 4 || offset >= block.size()) return;
        if (WideTemplateSize(block.data() + offset, block.size() - offset) == 0) return;
        m_offsets.push_back(offset);
    }
    m_bValid = true;
}

bool CDialogBlock::AdjustItemStyle(size_t index, uint16_t id, uint16_t classAtom, uint32_t clear,
                                   uint32_t add)
{
    if (!m_bValid || index >= m_offsets.size()) return false;
    uint8_t* bytes = reinterpret_cast<uint8_t*>(m_words.data());
    uint8_t* start = bytes + m_offsets[index];
    size_t size = m_words.size() * 4 - m_offsets[index];
    bool found = false;
    WalkTemplate(start, size, [&](size_t item) {
        // style, extended style, x, y, cx, cy, id, then the class: 0xFFFF and its atom.
        uint8_t* p = start + item;
        if (LoadLE16(p + 16) != id || LoadLE16(p + 18) != 0xFFFF || LoadLE16(p + 20) != classAtom)
            return;
        StoreLE32(p, (LoadLE32(p) & ~clear) | add);
        found = true;
    });
    return found;
}

const void* CDialogBlock::Template(size_t index) const
{
    if (!m_bValid || index >= m_offsets.size()) return nullptr;
    return reinterpret_cast<const uint8_t*>(m_words.data()) + m_offsets[index];
}

}  // namespace velkan::runtime
