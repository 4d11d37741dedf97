// The dialog templates of 16-bit Windows (8-bit strings, a byte item count, a byte class, no
// alignment), read into their fields and written out in the Win32 wide DLGTEMPLATE form that
// CreateDialogIndirect takes. Texts are Windows-1252, held here as UTF-16 units (wchar_t, like the
// runtime's other strings). The template comes from a package, so it is read within its bounds
// and refused, never guessed at, when anything in it is out of form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velkan::runtime {

// A menu, class or text field: an ordinal (a resource number, or a predefined control class's
// atom) or a name.
struct NameOrOrdinal {
    std::optional<uint16_t> ordinal;
    std::wstring name;
};

struct DialogItemFields {
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    uint16_t id = 0;
    uint32_t style = 0;
    NameOrOrdinal cls;  // the predefined classes (0x80 button ... 0x85 combo box) as ordinals
    NameOrOrdinal text;
    std::vector<uint8_t> extra;  // creation data
};

struct DialogTemplateFields {
    uint32_t style = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu;  // none: no ordinal, empty name
    std::wstring cls;    // empty: the standard dialog class
    std::wstring caption;
    uint16_t pointSize = 0;  // font fields, present with DS_SETFONT
    std::wstring face;
    std::vector<DialogItemFields> items;
};

// The fields of the 16-bit template at data[0], within size bytes, and in *length the bytes it
// takes; nullopt when it runs past the end, holds more items than any dialog of ours, names an
// unknown predefined class or an empty one, or is longer than kMaxNarrowTemplateSize.
std::optional<DialogTemplateFields> ReadNarrowTemplate(const uint8_t* data, size_t size,
                                                       size_t* length = nullptr);

// The Win32 DLGTEMPLATE (plain form, no extended styles) of the fields: items DWORD-aligned, the
// whole padded to a multiple of 4 bytes so templates can follow one another.
std::vector<uint8_t> WriteWideTemplate(const DialogTemplateFields& fields);

// A template above this is damage: ours are a few hundred bytes. The wide form is at most about
// four times as long (each byte of a string takes two, a class byte four, plus alignment).
constexpr size_t kMaxNarrowTemplateSize = 0x4000;

}  // namespace velkan::runtime
