#include "runtime/wizard/NarrowTemplate.h"

#include "core/platform/CodePage.h"
#include "runtime/wizard/DialogBlock.h"
#include "runtime/wizard/TemplateBytes.h"

namespace velkan::runtime {

namespace {

// The predefined control classes of the 16-bit form: button, edit, static, list box, scroll
// bar, combo box. Win32 gives them the same atoms.
constexpr uint8_t kFirstClassByte = 0x80, kLastClassByte = 0x85;
// The 16-bit form's mark of an ordinal, where a string would start.
constexpr uint8_t kOrdinalMark = 0xFF;

class CNarrowReader : public CTemplateReader {
public:
    using CTemplateReader::CTemplateReader;

    // A NUL-terminated Windows-1252 string, appended as UTF-16 units (every code point of the page
    // is in the BMP), held as wchar_t like the rest of the runtime's strings.
    bool String(std::wstring& text)
    {
        for (;;) {
            uint8_t c = 0;
            if (!U8(c)) return false;
            if (c == 0) return true;
            text.push_back(static_cast<wchar_t>(Cp1252ToCodePoint(c)));
        }
    }
    // A string, or 0xFF then a u16 ordinal.
    bool NameOrOrdinalField(NameOrOrdinal& field)
    {
        if (NextIs(kOrdinalMark)) {
            uint16_t ordinal = 0;
            if (!Skip(1) || !U16(ordinal)) return false;
            field.ordinal = ordinal;
            return true;
        }
        return String(field.name);
    }
};

bool ReadItem(CNarrowReader& r, DialogItemFields& item)
{
    uint8_t classByte = 0, extra = 0;
    if (!r.I16(item.x) || !r.I16(item.y) || !r.I16(item.cx) || !r.I16(item.cy) || !r.U16(item.id) ||
        !r.U32(item.style)) {
        return false;
    }
    // A class byte with the high bit set names a predefined class; anything else starts a name.
    if (!r.U8(classByte)) return false;
    if (classByte & 0x80) {
        if (classByte < kFirstClassByte || classByte > kLastClassByte) return false;
        item.cls.ordinal = classByte;
    } else {
        if (classByte == 0) return false;
        item.cls.name.push_back(static_cast<wchar_t>(Cp1252ToCodePoint(classByte)));
        if (!r.String(item.cls.name)) return false;
    }
    return r.NameOrOrdinalField(item.text) && r.U8(extra) && r.Bytes(item.extra, extra);
}

void PutString(std::vector<uint8_t>& out, const std::wstring& text)
{
    for (wchar_t c : text) Put16(out, c);
    Put16(out, 0);
}

void PutNameOrOrdinal(std::vector<uint8_t>& out, const NameOrOrdinal& field)
{
    if (field.ordinal) {
        Put16(out, 0xFFFF);
        Put16(out, *field.ordinal);
    } else {
        PutString(out, field.name);
    }
}

}  // namespace

std::optional<DialogTemplateFields> ReadNarrowTemplate(const uint8_t* data, size_t size,
                                                       size_t* length)
{
    CNarrowReader r(data, size < kMaxNarrowTemplateSize ? size : kMaxNarrowTemplateSize);
    DialogTemplateFields t;
    uint8_t count = 0;
    if (!r.U32(t.style) || !r.U8(count) || !r.I16(t.x) || !r.I16(t.y) || !r.I16(t.cx) ||
        !r.I16(t.cy)) {
        return std::nullopt;
    }
    if (count > kMaxDialogItems) return std::nullopt;
    // The class is a name only: the 16-bit form has no ordinal there.
    if (!r.NameOrOrdinalField(t.menu) || !r.String(t.cls) || !r.String(t.caption))
        return std::nullopt;
    if ((t.style & kDsSetFont) && (!r.U16(t.pointSize) || !r.String(t.face))) return std::nullopt;
    t.items.resize(count);
    for (DialogItemFields& item : t.items) {
        if (!ReadItem(r, item)) return std::nullopt;
    }
    if (length) *length = r.Position();
    return t;
}

std::vector<uint8_t> WriteWideTemplate(const DialogTemplateFields& t)
{
    std::vector<uint8_t> out;
    Put32(out, t.style);
    Put32(out, 0);  // extended styles
    Put16(out, static_cast<uint16_t>(t.items.size()));
    for (int16_t v : {t.x, t.y, t.cx, t.cy}) Put16(out, static_cast<uint16_t>(v));
    PutNameOrOrdinal(out, t.menu);  // an empty name is the 0 of "no menu"
    PutString(out, t.cls);          // and of the standard class
    PutString(out, t.caption);
    if (t.style & kDsSetFont) {
        Put16(out, t.pointSize);
        PutString(out, t.face);
    }
    for (const DialogItemFields& item : t.items) {
        AlignDword(out);
        Put32(out, item.style);
        Put32(out, 0);
        for (int16_t v : {item.x, item.y, item.cx, item.cy}) Put16(out, static_cast<uint16_t>(v));
        Put16(out, item.id);
        PutNameOrOrdinal(out, item.cls);
        PutNameOrOrdinal(out, item.text);
        // Creation data: its size, then the bytes.
        Put16(out, static_cast<uint16_t>(item.extra.size()));
        out.insert(out.end(), item.extra.begin(), item.extra.end());
    }
    AlignDword(out);
    return out;
}

}  // namespace velkan::runtime
