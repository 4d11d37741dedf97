#include "core/model/ProjectJson.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <span>

#include "core/model/CJsonException.h"
#include "core/model/FileOption.h"
#include "core/platform/CodePage.h"
#include "core/wizard/CTextCatalogue.h"
#include "core/wizard/WizardPage.h"

namespace velkan {

namespace {

// ---------------------------------------------------------------------------------------------
// The named values. A value's first name is the one written; later ones are read as well.

struct CodeName {
    int32_t value;
    const char* name;
};

constexpr CodeName kPlatforms[] = {{CDataArray::Win32, "win32"}, {CDataArray::Win31, "win31"}};
constexpr CodeName kWindowModes[] = {{CDataArray::FullScreen, "full-screen"},
                                     {CDataArray::SmallWindow, "small"}};
constexpr CodeName kDestinations[] = {{DestInstallDir, "install-dir"},
                                      {DestWindows, "windows"},
                                      {DestSystem, "system"},
                                      {DestFonts, "fonts"}};
constexpr CodeName kEndPageActions[] = {
    {EndPageNone, "none"}, {EndPageView, "view"}, {EndPageRun, "run"}};
constexpr CodeName kInstallModes[] = {{InstallNormal, "normal"},
                                      {InstallKeep, "no-uninstall"},
                                      {InstallSkip, "no-install"},
                                      {InstallDirectoryOnly, "directory-only"}};
constexpr CodeName kSpecials[] = {
    {SpecialNone, "none"}, {SpecialScreenSaver, "screen-saver"}, {SpecialRegisterOcx, "ocx"}};
constexpr CodeName kRootKeys[] = {
    {0, "HKCR"},
    {1, "HKCU"},
    {2, "HKLM"},
    {3, "HKU"},
    {0, "HKEY_CLASSES_ROOT"},
    {1, "HKEY_CURRENT_USER"},
    {2, "HKEY_LOCAL_MACHINE"},
    {3, "HKEY_USERS"},
};

// A value that has no name, which only a binary project can hold, is kept as "raw:N".
constexpr std::string_view kRawPrefix = "raw:";

// The directory-flag bits that have keys of their own; any other bit is "otherFlags".
constexpr int32_t kNamedDirFlags = kDirChangeable | kDirUpdateKey | kDirUpdateEntry;

// The defaults a key left out takes.
const CDataArray& DefaultProject()
{
    static const CDataArray project = [] {
        CDataArray p;
        p.Reset();
        return p;
    }();
    return project;
}

const CData& DefaultVersion()
{
    static const CData version;
    return version;
}

// ---------------------------------------------------------------------------------------------
// Writing

JsonValue Text(const std::string& cp1252)
{
    return JsonValue(Cp1252ToUtf8(cp1252));
}

JsonValue Raw(int64_t value)
{
    return JsonValue(std::string(kRawPrefix) + std::to_string(value));
}

JsonValue Code(int32_t value, std::span<const CodeName> names)
{
    for (const CodeName& c : names) {
        if (c.value == value) return JsonValue(c.name);
    }
    return Raw(value);
}

JsonValue Flag(int32_t value)
{
    if (value == 0 || value == 1) return JsonValue(value == 1);
    return Raw(value);
}

JsonValue Colour(uint32_t bgr)
{
    if (bgr > 0xFFFFFF) return Raw(bgr);
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", bgr & 0xFF, (bgr >> 8) & 0xFF,
                  (bgr >> 16) & 0xFF);
    return JsonValue(text);
}

// A file's path as people write it, with '/' between names.
std::string PathText(const std::string& cp1252)
{
    std::string path = Cp1252ToUtf8(cp1252);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// Builds one object, leaving out what equals its default unless every field is asked for.
class CObjectWriter {
public:
    explicit CObjectWriter(JsonDetail detail) : m_bAll(detail != JsonDetail::Changes) {}

    void Put(const char* key, bool isDefault, JsonValue value)
    {
        if (m_bAll || !isDefault) m_object.Set(key, std::move(value));
    }
    void Text(const char* key, const std::string& value, const std::string& byDefault = "")
    {
        Put(key, value == byDefault, velkan::Text(value));
    }
    void Int(const char* key, int32_t value, int32_t byDefault = 0)
    {
        Put(key, value == byDefault, JsonValue(value));
    }
    // A sub-object, left out when it holds nothing.
    void Object(const char* key, JsonValue value)
    {
        if (m_bAll || !value.Members().empty()) m_object.Set(key, std::move(value));
    }
    bool All() const { return m_bAll; }
    bool Empty() const { return m_object.Members().empty(); }
    JsonValue Take() { return std::move(m_object); }

private:
    bool m_bAll;
    JsonValue m_object = JsonValue::Object();
};

// All 32 bytes of the face name but its trailing zeros: bytes after the first zero are kept
// (as \u0000 escapes) so that a font read from any file is written back unchanged.
std::string FaceNameBytes(const LogFont& f)
{
    size_t n = f.lfFaceName.size();
    while (n > 0 && f.lfFaceName[n - 1] == 0) --n;
    return std::string(f.lfFaceName.data(), n);
}

JsonValue FontToJson(const LogFont& f, JsonDetail detail)
{
    const LogFont d = LogFont::DefaultTitleFont();
    CObjectWriter w(detail);
    w.Put("face", f.lfFaceName == d.lfFaceName, Text(FaceNameBytes(f)));
    w.Int("height", f.lfHeight, d.lfHeight);
    w.Int("width", f.lfWidth, d.lfWidth);
    w.Int("escapement", f.lfEscapement, d.lfEscapement);
    w.Int("orientation", f.lfOrientation, d.lfOrientation);
    w.Int("weight", f.lfWeight, d.lfWeight);
    w.Put("italic", f.lfItalic == d.lfItalic, Flag(f.lfItalic));
    w.Put("underline", f.lfUnderline == d.lfUnderline, Flag(f.lfUnderline));
    w.Put("strikeOut", f.lfStrikeOut == d.lfStrikeOut, Flag(f.lfStrikeOut));
    w.Int("charSet", f.lfCharSet, d.lfCharSet);
    w.Int("outPrecision", f.lfOutPrecision, d.lfOutPrecision);
    w.Int("clipPrecision", f.lfClipPrecision, d.lfClipPrecision);
    w.Int("quality", f.lfQuality, d.lfQuality);
    w.Int("pitchAndFamily", f.lfPitchAndFamily, d.lfPitchAndFamily);
    return w.Take();
}

JsonValue FileToJson(const CFileItem& f, JsonDetail detail)
{
    const CFileItem d(f.m_strPath);
    if (detail == JsonDetail::Changes && f == d) return JsonValue(PathText(f.m_strPath));
    CObjectWriter w(detail);
    w.Put("path", false, JsonValue(PathText(f.m_strPath)));
    if (detail == JsonDetail::People) w.Put("flags", false, JsonValue(f.FlagsText()));
    auto option = [&](int o) { return f.m_nOptions[static_cast<size_t>(o)]; };
    auto same = [&](int o) { return option(o) == d.m_nOptions[static_cast<size_t>(o)]; };
    w.Put("destination", same(OptDestination), Code(option(OptDestination), kDestinations));
    w.Put("endPage", same(OptEndPage), Code(option(OptEndPage), kEndPageActions));
    w.Put("sharedDll", same(OptUsageCount), Flag(option(OptUsageCount)));
    w.Put("install", same(OptInstallMode), Code(option(OptInstallMode), kInstallModes));
    w.Put("special", same(OptSpecial), Code(option(OptSpecial), kSpecials));
    w.Put("external", same(OptKeepExternal), Flag(option(OptKeepExternal)));
    CObjectWriter menu(detail);
    menu.Text("folder", f.m_strMenuFolder);
    menu.Text("name", f.m_strMenuName);
    menu.Text("args", f.m_strMenuArgs);
    menu.Int("iconIndex", f.m_nIconIndex);
    w.Object("startMenu", menu.Take());
    CObjectWriter shortcut(detail);
    shortcut.Text("name", f.m_strShortcutName);
    shortcut.Text("args", f.m_strShortcutArgs);
    w.Object("shortcut", shortcut.Take());
    return std::move(w.Take().SetOneLine());
}

// The installation directory: its path alone when the rest is as by default.
JsonValue InstallDirToJson(const CData& v, JsonDetail detail)
{
    CObjectWriter w(detail);
    w.Text("path", v.m_strInstallDir);
    w.Put("changeable", (v.m_nDirFlags & kDirChangeable) != 0,
          JsonValue((v.m_nDirFlags & kDirChangeable) != 0));
    CObjectWriter reg(detail);
    reg.Put("root", v.m_nDirRootKey == 0, Code(v.m_nDirRootKey, kRootKeys));
    reg.Text("key", v.m_strDirKey);
    reg.Text("name", v.m_strDirSubkey);
    reg.Put("update", (v.m_nDirFlags & kDirUpdateKey) == 0,
            JsonValue((v.m_nDirFlags & kDirUpdateKey) != 0));
    w.Object("registry", reg.Take());
    CObjectWriter ini(detail);
    ini.Text("file", v.m_strDirIniFile);
    ini.Text("section", v.m_strDirIniSection);
    ini.Text("entry", v.m_strDirIniEntry);
    ini.Put("update", (v.m_nDirFlags & kDirUpdateEntry) == 0,
            JsonValue((v.m_nDirFlags & kDirUpdateEntry) != 0));
    w.Object("ini", ini.Take());
    w.Int("otherFlags", v.m_nDirFlags & ~kNamedDirFlags);
    JsonValue o = w.Take();
    if (detail == JsonDetail::Changes && o.Members().size() == 1 && o.Members()[0].first == "path")
        return o.Members()[0].second;
    return o;
}

JsonValue TextsToJson(const CData& v, JsonDetail detail)
{
    CObjectWriter pages(detail);
    for (int page = 0; page < kTextPageCount && page < static_cast<int>(v.m_texts.size()); ++page) {
        CObjectWriter slots(detail);
        const auto& texts = v.m_texts[static_cast<size_t>(page)];
        for (int text = 0; text < static_cast<int>(texts.size()); ++text) {
            slots.Text(CTextCatalogue::SlotKey(page, text), texts[static_cast<size_t>(text)],
                       CTextCatalogue::GetDefaultText(page, text));
        }
        pages.Object(CTextCatalogue::PageKey(page), slots.Take());
    }
    return pages.Take();
}

JsonValue UninstallerToJson(const CData& v, JsonDetail detail)
{
    const CData& d = DefaultVersion();
    CObjectWriter w(detail);
    w.Text("file", v.m_strUninstFile, d.m_strUninstFile);
    CObjectWriter menu(detail);
    menu.Text("folder", v.m_strUninstFolder);
    menu.Text("name", v.m_strUninstIcon);
    w.Object("startMenu", menu.Take());
    w.Text("removeFiles", v.m_strUninstExtra);
    JsonValue keys = JsonValue::Array();
    for (const std::string& key : v.m_regKeysToRemove) keys.Add(Text(key));
    w.Put("removeRegistryKeys", v.m_regKeysToRemove.empty(), std::move(keys));
    return w.Take();
}

// The bits of an entry's flags: bit 0 has a name, any other bit is "otherFlags".
void PutEntryFlags(CObjectWriter& w, int32_t flags)
{
    w.Put("noOverwrite", (flags & 1) == 0, JsonValue((flags & 1) != 0));
    w.Int("otherFlags", flags & ~1);
}

JsonValue VersionToJson(const CData& v, JsonDetail detail)
{
    const CData& d = DefaultVersion();
    CObjectWriter w(detail);
    w.Put("name", false, Text(v.m_strName));
    w.Text("title", v.m_strTitle, d.m_strTitle);
    w.Text("source", v.m_strSourceDir);
    w.Put("subdirs", v.m_bSubDirs == d.m_bSubDirs, Flag(v.m_bSubDirs));
    JsonValue installDir = InstallDirToJson(v, detail);
    const bool noInstallDir =
        installDir.GetType() == JsonValue::Type::Object && installDir.Members().empty();
    w.Put("installDir", noInstallDir, std::move(installDir));
    w.Object("uninstaller", UninstallerToJson(v, detail));

    JsonValue ini = JsonValue::Array();
    for (const CIniInfo& e : v.m_iniEntries) {
        CObjectWriter x(detail);
        x.Put("file", false, Text(e.m_strFile));
        x.Put("section", false, Text(e.m_strSection));
        x.Put("entry", false, Text(e.m_strEntry));
        x.Put("value", false, Text(e.m_strValue));
        PutEntryFlags(x, e.m_nFlags);
        ini.Add(std::move(x.Take().SetOneLine()));
    }
    w.Put("ini", v.m_iniEntries.empty(), std::move(ini));
    JsonValue reg = JsonValue::Array();
    for (const CRegInfo& e : v.m_regEntries) {
        CObjectWriter x(detail);
        x.Put("root", false, Code(e.m_nRootKey, kRootKeys));
        if (detail == JsonDetail::People) x.Put("displayKey", false, Text(e.DisplayKey()));
        x.Put("key", false, Text(e.m_strKey));
        x.Text("name", e.m_strSubkey);
        x.Put("data", false, Text(e.m_strValue));
        PutEntryFlags(x, e.m_nFlags);
        reg.Add(std::move(x.Take().SetOneLine()));
    }
    w.Put("registry", v.m_regEntries.empty(), std::move(reg));
    JsonValue strings = JsonValue::Array();
    for (const CFileInfo& e : v.m_fileStrings) {
        const CFileInfo fd;
        CObjectWriter x(detail);
        x.Put("file", false, Text(e.m_strFile));
        bool find = e.m_nOffsetMode == CFileInfo::String;
        x.Put(find ? "find" : "at", false, Text(e.m_strOffset));
        if (!find && e.m_nOffsetMode != CFileInfo::Numerical) {
            x.Put("mode", false, Raw(e.m_nOffsetMode));
        }
        x.Put("text", false, Text(e.m_strText));
        x.Int("reserved1", e.m_nReserved1, fd.m_nReserved1);
        x.Int("reserved2", e.m_nReserved2, fd.m_nReserved2);
        strings.Add(std::move(x.Take().SetOneLine()));
    }
    w.Put("fileStrings", v.m_fileStrings.empty(), std::move(strings));
    w.Object("texts", TextsToJson(v, detail));
    JsonValue files = JsonValue::Array();
    for (const CFileItem& f : v.m_files) files.Add(FileToJson(f, detail));
    w.Put("files", v.m_files.empty(), std::move(files));
    return w.Take();
}

}  // namespace

JsonValue ProjectToJson(const CDataArray& p, JsonDetail detail)
{
    const CDataArray& d = DefaultProject();
    CObjectWriter w(detail);
    if (detail == JsonDetail::Changes) w.Put("$schema", false, JsonValue(kProjectSchemaName));
    w.Put("platform", p.m_nPlatform == d.m_nPlatform, Code(p.m_nPlatform, kPlatforms));
    w.Text("output", p.m_strOutputPath);
    w.Put("window", p.m_nWindowMode == d.m_nWindowMode, Code(p.m_nWindowMode, kWindowModes));
    w.Text("wizardBitmap", p.m_strWizardBitmap);
    w.Text("backgroundBitmap", p.m_strBackBitmap);
    w.Text("backgroundTitle", p.m_strBackTitle, d.m_strBackTitle);
    w.Put("titleColor", p.m_crTitleColor == d.m_crTitleColor, Colour(p.m_crTitleColor));
    w.Object("titleFont", FontToJson(p.m_lfTitleFont, detail));
    w.Int("titleReserved", p.m_nTitleReserved);
    w.Text("auxFile", p.m_strAuxFile);
    w.Put("exclusiveVersions", p.m_bExclusive == d.m_bExclusive, Flag(p.m_bExclusive));
    JsonValue versions = JsonValue::Array();
    for (const CData& v : p.m_versions) versions.Add(VersionToJson(v, detail));
    w.Put("versions", false, std::move(versions));
    return w.Take();
}

std::string WriteProjectJson(const CDataArray& project)
{
    return ProjectToJson(project).ToJson(2);
}

// ---------------------------------------------------------------------------------------------
// Reading

namespace {

[[noreturn]] void Fail(const JsonValue& at, const std::string& path, const std::string& what)
{
    std::string where = at.Line() > 0 ? "line " + std::to_string(at.Line()) + ": " : "";
    throw CJsonException(where + (path.empty() ? std::string("the project") : path) + ": " + what);
}

const char* TypeName(JsonValue::Type type)
{
    switch (type) {
    case JsonValue::Type::Null: return "null";
    case JsonValue::Type::Bool: return "true or false";
    case JsonValue::Type::Number: return "a number";
    case JsonValue::Type::String: return "a string";
    case JsonValue::Type::Array: return "an array";
    case JsonValue::Type::Object: return "an object";
    }
    return "?";
}

std::string Shown(const JsonValue& v)
{
    return v.GetType() == JsonValue::Type::String ? "\"" + v.GetText() + "\""
                                                  : std::string(TypeName(v.GetType()));
}

void ExpectType(const JsonValue& v, JsonValue::Type type, const std::string& path)
{
    if (v.GetType() != type)
        Fail(v, path, std::string("expected ") + TypeName(type) + ", found " + Shown(v));
}

int64_t ReadWhole(const JsonValue& v, const std::string& path, int64_t low, int64_t high)
{
    ExpectType(v, JsonValue::Type::Number, path);
    if (!v.IsWhole() || v.GetNumber() < low || v.GetNumber() > high) {
        Fail(v, path,
             "expected a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
                 ", found " + v.GetText());
    }
    return v.GetNumber();
}

int32_t ReadInt(const JsonValue& v, const std::string& path)
{
    return static_cast<int32_t>(ReadWhole(v, path, std::numeric_limits<int32_t>::min(),
                                          std::numeric_limits<int32_t>::max()));
}

// "raw:N" with N in [low, high], or nothing.
std::optional<int64_t> ReadRaw(const JsonValue& v, int64_t low, int64_t high)
{
    if (v.GetType() != JsonValue::Type::String) return std::nullopt;
    std::string_view text = v.GetText();
    if (text.substr(0, kRawPrefix.size()) != kRawPrefix) return std::nullopt;
    text.remove_prefix(kRawPrefix.size());
    bool negative = !text.empty() && text[0] == '-';
    if (negative) text.remove_prefix(1);
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != text.npos)
        return std::nullopt;
    int64_t n = std::stoll(std::string(text));
    if (negative) n = -n;
    if (n < low || n > high) return std::nullopt;
    return n;
}

int32_t ReadCode(const JsonValue& v, const std::string& path, std::span<const CodeName> names)
{
    if (v.GetType() == JsonValue::Type::String) {
        for (const CodeName& c : names) {
            if (v.GetText() == c.name) return c.value;
        }
        if (auto raw = ReadRaw(v, INT32_MIN, INT32_MAX)) return static_cast<int32_t>(*raw);
    }
    std::string list;
    for (const CodeName& c : names) list += std::string(list.empty() ? "" : ", ") + c.name;
    Fail(v, path, "expected one of " + list + ", found " + Shown(v));
}

int32_t ReadFlag(const JsonValue& v, const std::string& path)
{
    if (v.GetType() == JsonValue::Type::Bool) return v.GetBool() ? 1 : 0;
    if (auto raw = ReadRaw(v, INT32_MIN, INT32_MAX)) return static_cast<int32_t>(*raw);
    Fail(v, path, "expected true or false, found " + Shown(v));
}

bool ReadBool(const JsonValue& v, const std::string& path)
{
    ExpectType(v, JsonValue::Type::Bool, path);
    return v.GetBool();
}

uint32_t ReadColour(const JsonValue& v, const std::string& path)
{
    if (auto raw = ReadRaw(v, 0, 0xFFFFFFFF)) return static_cast<uint32_t>(*raw);
    const std::string& text = v.GetType() == JsonValue::Type::String ? v.GetText() : "";
    if (text.size() != 7 || text[0] != '#' ||
        text.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos) {
        Fail(v, path, "expected a colour \"#RRGGBB\", found " + Shown(v));
    }
    uint32_t rgb = static_cast<uint32_t>(std::stoul(text.substr(1), nullptr, 16));
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

// A string in the model's Windows-1252; refuses the first character the code page lacks by name.
std::string ReadString(const JsonValue& v, const std::string& path)
{
    ExpectType(v, JsonValue::Type::String, path);
    const std::string& utf8 = v.GetText();
    if (auto text = Utf8ToCp1252(utf8)) return *text;
    // The parser let only valid UTF-8 through, so the fault is a character outside the code page.
    for (size_t pos = 0; pos < utf8.size();) {
        auto lead = static_cast<unsigned char>(utf8[pos]);
        size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::string_view one(utf8.data() + pos, std::min(length, utf8.size() - pos));
        if (!Utf8ToCp1252(one)) {
            char32_t cp = lead & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
            for (size_t i = 1; i < one.size(); ++i) cp = (cp << 6) | (one[i] & 0x3F);
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
            Fail(v, path,
                 "\"" + std::string(one) + "\" (" + code +
                     ") is a character that the Windows-1252 code page of projects cannot hold");
        }
        pos += length;
    }
    Fail(v, path, "a text that the Windows-1252 code page of projects cannot hold");
}

std::string Index(const std::string& path, size_t i)
{
    return path + "[" + std::to_string(i) + "]";
}

// The members of one object, each handed to the reader of its key; a key that no reader takes
// is an error, so a misspelt key never passes silently as a default.
class CObjectReader {
public:
    CObjectReader(const JsonValue& object, std::string path)
        : m_object(object), m_path(std::move(path))
    {
        ExpectType(object, JsonValue::Type::Object, m_path);
        m_used.assign(object.Members().size(), false);
    }

    std::string PathOf(const std::string& key) const
    {
        return m_path.empty() ? key : m_path + "." + key;
    }

    template <typename Read>
    void Field(const std::string& key, Read read)
    {
        const auto& members = m_object.Members();
        for (size_t i = 0; i < members.size(); ++i) {
            if (members[i].first == key) {
                m_used[i] = true;
                read(members[i].second, PathOf(key));
                return;
            }
        }
    }
    bool Has(const std::string& key) const
    {
        for (const auto& member : m_object.Members()) {
            if (member.first == key) return true;
        }
        return false;
    }

    void String(const char* key, std::string& out)
    {
        Field(key, [&](const JsonValue& v, const std::string& p) { out = ReadString(v, p); });
    }
    void Int(const char* key, int32_t& out)
    {
        Field(key, [&](const JsonValue& v, const std::string& p) { out = ReadInt(v, p); });
    }
    void Byte(const char* key, uint8_t& out)
    {
        Field(key, [&](const JsonValue& v, const std::string& p) {
            out = static_cast<uint8_t>(ReadWhole(v, p, 0, 255));
        });
    }
    void ByteFlag(const char* key, uint8_t& out)
    {
        Field(key, [&](const JsonValue& v, const std::string& p) {
            int32_t value = ReadFlag(v, p);
            if (value < 0 || value > 255) Fail(v, p, "a font's flag is a byte, 0 to 255");
            out = static_cast<uint8_t>(value);
        });
    }
    void Code(const char* key, int32_t& out, std::span<const CodeName> names)
    {
        Field(key, [&](const JsonValue& v, const std::string& p) { out = ReadCode(v, p, names); });
    }
    void Flag(const char* key, int32_t& out)
    {
        Field(key, [&](const JsonValue& v, const std::string& p) { out = ReadFlag(v, p); });
    }
    // A bit of a flag word, as true or false.
    void Bit(const char* key, int32_t& flags, int32_t bit)
    {
        Field(key, [&](const JsonValue& v, const std::string& p) {
            flags = ReadBool(v, p) ? (flags | bit) : (flags & ~bit);
        });
    }
    // The bits of a flag word that have no key of their own.
    void OtherBits(const char* key, int32_t& flags, int32_t named)
    {
        Field(key, [&](const JsonValue& v, const std::string& p) {
            int32_t other = ReadInt(v, p);
            if (other & named) Fail(v, p, "holds bits that have keys of their own");
            flags = (flags & named) | other;
        });
    }
    template <typename Record, typename Container, typename ReadRecord>
    void List(const char* key, Container& out, ReadRecord readRecord)
    {
        Field(key, [&](const JsonValue& v, const std::string& p) {
            ExpectType(v, JsonValue::Type::Array, p);
            out.clear();
            for (size_t i = 0; i < v.Items().size(); ++i) {
                Record record;
                readRecord(v.Items()[i], Index(p, i), record);
                out.push_back(std::move(record));
            }
        });
    }
    void Required(const char* key) const
    {
        if (!Has(key)) Fail(m_object, m_path, std::string("\"") + key + "\" is required");
    }

    void Done() const
    {
        for (size_t i = 0; i < m_used.size(); ++i) {
            if (!m_used[i]) {
                Fail(m_object.Members()[i].second, PathOf(m_object.Members()[i].first),
                     "unknown key");
            }
        }
    }

private:
    const JsonValue& m_object;
    std::string m_path;
    std::vector<bool> m_used;
};

void ReadFont(const JsonValue& v, const std::string& path, LogFont& f)
{
    CObjectReader r(v, path);
    r.Field("face", [&](const JsonValue& x, const std::string& p) {
        std::string name = ReadString(x, p);
        if (name.size() > f.lfFaceName.size()) {
            Fail(x, p,
                 "a face name holds at most " + std::to_string(f.lfFaceName.size()) + " bytes");
        }
        f.lfFaceName.fill(0);
        std::copy(name.begin(), name.end(), f.lfFaceName.begin());
    });
    r.Int("height", f.lfHeight);
    r.Int("width", f.lfWidth);
    r.Int("escapement", f.lfEscapement);
    r.Int("orientation", f.lfOrientation);
    r.Int("weight", f.lfWeight);
    r.ByteFlag("italic", f.lfItalic);
    r.ByteFlag("underline", f.lfUnderline);
    r.ByteFlag("strikeOut", f.lfStrikeOut);
    r.Byte("charSet", f.lfCharSet);
    r.Byte("outPrecision", f.lfOutPrecision);
    r.Byte("clipPrecision", f.lfClipPrecision);
    r.Byte("quality", f.lfQuality);
    r.Byte("pitchAndFamily", f.lfPitchAndFamily);
    r.Done();
}

// A file's path: not empty, with '/' read as the '\' that the model keeps.
std::string ReadFilePath(const JsonValue& v, const std::string& path)
{
    std::string text = ReadString(v, path);
    if (text.empty()) Fail(v, path, "a file needs a path");
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

void ReadFile(const JsonValue& v, const std::string& path, CFileItem& f)
{
    if (v.GetType() == JsonValue::Type::String) {
        f = CFileItem(ReadFilePath(v, path));
        return;
    }
    if (v.GetType() != JsonValue::Type::Object)
        Fail(v, path, "expected a path or an object, found " + Shown(v));
    CObjectReader r(v, path);
    r.Required("path");
    r.Field("path",
            [&](const JsonValue& x, const std::string& p) { f = CFileItem(ReadFilePath(x, p)); });
    r.Code("destination", f.m_nOptions[OptDestination], kDestinations);
    r.Code("endPage", f.m_nOptions[OptEndPage], kEndPageActions);
    r.Flag("sharedDll", f.m_nOptions[OptUsageCount]);
    r.Code("install", f.m_nOptions[OptInstallMode], kInstallModes);
    r.Code("special", f.m_nOptions[OptSpecial], kSpecials);
    r.Flag("external", f.m_nOptions[OptKeepExternal]);
    r.Field("startMenu", [&](const JsonValue& x, const std::string& p) {
        CObjectReader m(x, p);
        m.String("folder", f.m_strMenuFolder);
        m.String("name", f.m_strMenuName);
        m.String("args", f.m_strMenuArgs);
        m.Int("iconIndex", f.m_nIconIndex);
        m.Done();
    });
    r.Field("shortcut", [&](const JsonValue& x, const std::string& p) {
        CObjectReader s(x, p);
        s.String("name", f.m_strShortcutName);
        s.String("args", f.m_strShortcutArgs);
        s.Done();
    });
    r.Done();
}

void ReadIni(const JsonValue& v, const std::string& path, CIniInfo& e)
{
    CObjectReader r(v, path);
    r.String("file", e.m_strFile);
    r.String("section", e.m_strSection);
    r.String("entry", e.m_strEntry);
    r.String("value", e.m_strValue);
    r.Bit("noOverwrite", e.m_nFlags, 1);
    r.OtherBits("otherFlags", e.m_nFlags, 1);
    r.Done();
}

void ReadReg(const JsonValue& v, const std::string& path, CRegInfo& e)
{
    CObjectReader r(v, path);
    r.Code("root", e.m_nRootKey, kRootKeys);
    r.String("key", e.m_strKey);
    r.String("name", e.m_strSubkey);
    r.String("data", e.m_strValue);
    r.Bit("noOverwrite", e.m_nFlags, 1);
    r.OtherBits("otherFlags", e.m_nFlags, 1);
    r.Done();
}

void ReadFileString(const JsonValue& v, const std::string& path, CFileInfo& e)
{
    CObjectReader r(v, path);
    if (r.Has("at") && r.Has("find")) Fail(v, path, "give \"at\" or \"find\", not both");
    r.String("file", e.m_strFile);
    r.Field("at", [&](const JsonValue& x, const std::string& p) {
        e.m_strOffset = ReadString(x, p);
        e.m_nOffsetMode = CFileInfo::Numerical;
    });
    r.Field("find", [&](const JsonValue& x, const std::string& p) {
        e.m_strOffset = ReadString(x, p);
        e.m_nOffsetMode = CFileInfo::String;
    });
    r.Field("mode", [&](const JsonValue& x, const std::string& p) {
        auto raw = ReadRaw(x, INT32_MIN, INT32_MAX);
        if (!raw) Fail(x, p, "expected \"raw:N\" (\"at\" and \"find\" choose the mode)");
        e.m_nOffsetMode = static_cast<int32_t>(*raw);
    });
    r.String("text", e.m_strText);
    r.Int("reserved1", e.m_nReserved1);
    r.Int("reserved2", e.m_nReserved2);
    r.Done();
}

void ReadInstallDir(const JsonValue& v, const std::string& path, CData& d)
{
    if (v.GetType() == JsonValue::Type::String) {
        d.m_strInstallDir = ReadString(v, path);
        return;
    }
    CObjectReader r(v, path);
    r.String("path", d.m_strInstallDir);
    r.Bit("changeable", d.m_nDirFlags, kDirChangeable);
    r.Field("registry", [&](const JsonValue& x, const std::string& p) {
        CObjectReader reg(x, p);
        reg.Code("root", d.m_nDirRootKey, kRootKeys);
        reg.String("key", d.m_strDirKey);
        reg.String("name", d.m_strDirSubkey);
        reg.Bit("update", d.m_nDirFlags, kDirUpdateKey);
        reg.Done();
    });
    r.Field("ini", [&](const JsonValue& x, const std::string& p) {
        CObjectReader ini(x, p);
        ini.String("file", d.m_strDirIniFile);
        ini.String("section", d.m_strDirIniSection);
        ini.String("entry", d.m_strDirIniEntry);
        ini.Bit("update", d.m_nDirFlags, kDirUpdateEntry);
        ini.Done();
    });
    r.OtherBits("otherFlags", d.m_nDirFlags, kNamedDirFlags);
    r.Done();
}

void ReadUninstaller(const JsonValue& v, const std::string& path, CData& d)
{
    CObjectReader r(v, path);
    r.String("file", d.m_strUninstFile);
    r.Field("startMenu", [&](const JsonValue& x, const std::string& p) {
        CObjectReader m(x, p);
        m.String("folder", d.m_strUninstFolder);
        m.String("name", d.m_strUninstIcon);
        m.Done();
    });
    r.String("removeFiles", d.m_strUninstExtra);
    r.Field("removeRegistryKeys", [&](const JsonValue& x, const std::string& p) {
        ExpectType(x, JsonValue::Type::Array, p);
        d.m_regKeysToRemove.clear();
        for (size_t i = 0; i < x.Items().size(); ++i) {
            d.m_regKeysToRemove.push_back(ReadString(x.Items()[i], Index(p, i)));
        }
    });
    r.Done();
}

// Texts by page and slot name over the catalogue's defaults.
void ReadTexts(const JsonValue& v, const std::string& path, CData& d)
{
    ExpectType(v, JsonValue::Type::Object, path);
    for (const auto& [pageKey, slots] : v.Members()) {
        const std::string pagePath = path + "." + pageKey;
        int page = 0;
        while (page < kTextPageCount && pageKey != CTextCatalogue::PageKey(page)) ++page;
        if (page == kTextPageCount) {
            std::string list;
            for (int p = 0; p < kTextPageCount; ++p)
                list += std::string(p ? ", " : "") + CTextCatalogue::PageKey(p);
            Fail(slots, pagePath, "unknown wizard page; the pages are " + list);
        }
        ExpectType(slots, JsonValue::Type::Object, pagePath);
        for (const auto& [slotKey, text] : slots.Members()) {
            int slot = 0;
            const int count = CTextCatalogue::TextCount(page);
            while (slot < count && slotKey != CTextCatalogue::SlotKey(page, slot)) ++slot;
            if (slot == count) {
                std::string list;
                for (int s = 0; s < count; ++s)
                    list += std::string(s ? ", " : "") + CTextCatalogue::SlotKey(page, s);
                Fail(text, pagePath + "." + slotKey,
                     "unknown text of this page; its texts are " + list);
            }
            d.m_texts[static_cast<size_t>(page)][static_cast<size_t>(slot)] =
                ReadString(text, pagePath + "." + slotKey);
        }
    }
}

void ReadVersion(const JsonValue& v, const std::string& path, CData& d)
{
    CObjectReader r(v, path);
    r.String("name", d.m_strName);
    r.String("title", d.m_strTitle);
    r.String("source", d.m_strSourceDir);
    r.Flag("subdirs", d.m_bSubDirs);
    r.Field("installDir",
            [&](const JsonValue& x, const std::string& p) { ReadInstallDir(x, p, d); });
    r.Field("uninstaller",
            [&](const JsonValue& x, const std::string& p) { ReadUninstaller(x, p, d); });
    r.List<CIniInfo>("ini", d.m_iniEntries, ReadIni);
    r.List<CRegInfo>("registry", d.m_regEntries, ReadReg);
    r.List<CFileInfo>("fileStrings", d.m_fileStrings, ReadFileString);
    r.Field("texts", [&](const JsonValue& x, const std::string& p) { ReadTexts(x, p, d); });
    r.Field("files", [&](const JsonValue& x, const std::string& p) {
        ExpectType(x, JsonValue::Type::Array, p);
        d.m_files.clear();
        for (size_t i = 0; i < x.Items().size(); ++i) {
            CFileItem item;
            ReadFile(x.Items()[i], Index(p, i), item);
            d.m_files.push_back(std::move(item));
        }
    });
    r.Done();
}

}  // namespace

CDataArray ProjectFromJson(const JsonValue& root)
{
    CDataArray p;
    p.Reset();
    p.m_versions.emplace_back();
    CObjectReader r(root, "");
    r.Field("$schema", [](const JsonValue& v, const std::string& path) {
        ExpectType(v, JsonValue::Type::String, path);
    });
    r.Code("platform", p.m_nPlatform, kPlatforms);
    r.String("output", p.m_strOutputPath);
    r.Code("window", p.m_nWindowMode, kWindowModes);
    r.String("wizardBitmap", p.m_strWizardBitmap);
    r.String("backgroundBitmap", p.m_strBackBitmap);
    r.String("backgroundTitle", p.m_strBackTitle);
    r.Field("titleColor", [&](const JsonValue& v, const std::string& path) {
        p.m_crTitleColor = ReadColour(v, path);
    });
    r.Field("titleFont", [&](const JsonValue& v, const std::string& path) {
        ReadFont(v, path, p.m_lfTitleFont);
    });
    r.Int("titleReserved", p.m_nTitleReserved);
    r.String("auxFile", p.m_strAuxFile);
    r.Flag("exclusiveVersions", p.m_bExclusive);
    r.List<CData>("versions", p.m_versions, ReadVersion);
    r.Done();
    p.m_nCurrent = 0;
    return p;
}

CDataArray ReadProjectJson(std::string_view text)
{
    JsonValue root = JsonValue::Parse(text);
    // Each version costs a whole catalogue of texts, however short its text ("{}"), so their
    // number is held to the same proportion to the text as the tree's values.
    if (root.GetType() == JsonValue::Type::Object) {
        for (const auto& [key, value] : root.Members()) {
            if (key != "versions" || value.GetType() != JsonValue::Type::Array) continue;
            CData fresh;
            fresh.ResetTexts();
            const uint64_t need = uint64_t(value.Items().size()) * fresh.TextMemory();
            if (need > JsonValue::kMemoryPerTextByte * text.size() + JsonValue::kMemoryAllowance) {
                Fail(value, "versions",
                     std::to_string(value.Items().size()) +
                         " versions take more memory than text of " + std::to_string(text.size()) +
                         " bytes may");
            }
        }
    }
    return ProjectFromJson(root);
}

// ---------------------------------------------------------------------------------------------
// The schema, made from the same tables as the reader, so the two cannot drift.

namespace {

JsonValue Ref(const char* name)
{
    JsonValue o = JsonValue::Object();
    o.Set("$ref", std::string("#/$defs/") + name);
    return o;
}

JsonValue Typed(const char* type)
{
    JsonValue o = JsonValue::Object();
    o.Set("type", type);
    return o;
}

JsonValue AnyOf(JsonValue a, JsonValue b)
{
    JsonValue list = JsonValue::Array();
    list.Add(std::move(a));
    list.Add(std::move(b));
    JsonValue o = JsonValue::Object();
    o.Set("anyOf", std::move(list));
    return o;
}

JsonValue NamedCode(std::span<const CodeName> names)
{
    JsonValue values = JsonValue::Array();
    for (const CodeName& c : names) values.Add(c.name);
    JsonValue e = JsonValue::Object();
    e.Set("enum", std::move(values));
    return AnyOf(std::move(e), Ref("raw"));
}

// An object of the given properties and no others.
JsonValue Closed(std::vector<std::pair<const char*, JsonValue>> properties,
                 std::vector<const char*> required = {})
{
    JsonValue o = Typed("object");
    JsonValue props = JsonValue::Object();
    for (auto& [key, value] : properties) props.Set(key, std::move(value));
    o.Set("properties", std::move(props));
    o.Set("additionalProperties", false);
    if (!required.empty()) {
        JsonValue list = JsonValue::Array();
        for (const char* key : required) list.Add(key);
        o.Set("required", std::move(list));
    }
    return o;
}

JsonValue ArrayOf(JsonValue items)
{
    JsonValue o = Typed("array");
    o.Set("items", std::move(items));
    return o;
}

JsonValue Str()
{
    return Typed("string");
}

}  // namespace

std::string ProjectSchema()
{
    JsonValue defs = JsonValue::Object();
    JsonValue raw = Str();
    raw.Set("pattern", "^raw:-?[0-9]+$");
    raw.Set("description", "a value that has no name, kept from a binary project");
    defs.Set("raw", std::move(raw));
    defs.Set("flag", AnyOf(Typed("boolean"), Ref("raw")));
    JsonValue int32 = Typed("integer");
    int32.Set("minimum", int64_t{INT32_MIN});
    int32.Set("maximum", int64_t{INT32_MAX});
    defs.Set("int32", std::move(int32));
    JsonValue byte = Typed("integer");
    byte.Set("minimum", 0);
    byte.Set("maximum", 255);
    defs.Set("byte", std::move(byte));
    defs.Set("root", NamedCode(kRootKeys));

    JsonValue colour = Str();
    colour.Set("pattern", "^(#[0-9A-Fa-f]{6}|raw:[0-9]+)$");
    defs.Set("font", Closed({{"face", Str()},
                             {"height", Ref("int32")},
                             {"width", Ref("int32")},
                             {"escapement", Ref("int32")},
                             {"orientation", Ref("int32")},
                             {"weight", Ref("int32")},
                             {"italic", Ref("flag")},
                             {"underline", Ref("flag")},
                             {"strikeOut", Ref("flag")},
                             {"charSet", Ref("byte")},
                             {"outPrecision", Ref("byte")},
                             {"clipPrecision", Ref("byte")},
                             {"quality", Ref("byte")},
                             {"pitchAndFamily", Ref("byte")}}));
    JsonValue filePath = Str();
    filePath.Set("minLength", 1);
    defs.Set("file",
             AnyOf(filePath, Closed({{"path", filePath},
                                     {"destination", NamedCode(kDestinations)},
                                     {"endPage", NamedCode(kEndPageActions)},
                                     {"sharedDll", Ref("flag")},
                                     {"install", NamedCode(kInstallModes)},
                                     {"special", NamedCode(kSpecials)},
                                     {"external", Ref("flag")},
                                     {"startMenu", Closed({{"folder", Str()},
                                                           {"name", Str()},
                                                           {"args", Str()},
                                                           {"iconIndex", Ref("int32")}})},
                                     {"shortcut", Closed({{"name", Str()}, {"args", Str()}})}},
                                    {"path"})));
    defs.Set("installDir",
             AnyOf(Str(), Closed({{"path", Str()},
                                  {"changeable", Typed("boolean")},
                                  {"registry", Closed({{"root", Ref("root")},
                                                       {"key", Str()},
                                                       {"name", Str()},
                                                       {"update", Typed("boolean")}})},
                                  {"ini", Closed({{"file", Str()},
                                                  {"section", Str()},
                                                  {"entry", Str()},
                                                  {"update", Typed("boolean")}})},
                                  {"otherFlags", Ref("int32")}})));
    std::vector<std::pair<const char*, JsonValue>> pages;
    for (int page = 0; page < kTextPageCount; ++page) {
        std::vector<std::pair<const char*, JsonValue>> slots;
        for (int text = 0; text < CTextCatalogue::TextCount(page); ++text) {
            JsonValue slot = Str();
            std::string usage = Cp1252ToUtf8(CTextCatalogue::GetUsage(page, text));
            if (!usage.empty()) slot.Set("description", usage);
            slots.emplace_back(CTextCatalogue::SlotKey(page, text), std::move(slot));
        }
        pages.emplace_back(CTextCatalogue::PageKey(page), Closed(std::move(slots)));
    }
    defs.Set("texts", Closed(std::move(pages)));
    defs.Set(
        "version",
        Closed({{"name", Str()},
                {"title", Str()},
                {"source", Str()},
                {"subdirs", Ref("flag")},
                {"installDir", Ref("installDir")},
                {"uninstaller", Closed({{"file", Str()},
                                        {"startMenu", Closed({{"folder", Str()}, {"name", Str()}})},
                                        {"removeFiles", Str()},
                                        {"removeRegistryKeys", ArrayOf(Str())}})},
                {"ini", ArrayOf(Closed({{"file", Str()},
                                        {"section", Str()},
                                        {"entry", Str()},
                                        {"value", Str()},
                                        {"noOverwrite", Typed("boolean")},
                                        {"otherFlags", Ref("int32")}}))},
                {"registry", ArrayOf(Closed({{"root", Ref("root")},
                                             {"key", Str()},
                                             {"name", Str()},
                                             {"data", Str()},
                                             {"noOverwrite", Typed("boolean")},
                                             {"otherFlags", Ref("int32")}}))},
                {"fileStrings", ArrayOf(Closed({{"file", Str()},
                                                {"at", Str()},
                                                {"find", Str()},
                                                {"mode", Ref("raw")},
                                                {"text", Str()},
                                                {"reserved1", Ref("int32")},
                                                {"reserved2", Ref("int32")}}))},
                {"texts", Ref("texts")},
                {"files", ArrayOf(Ref("file"))}}));

    JsonValue schema = Closed({{"$schema", Str()},
                               {"platform", NamedCode(kPlatforms)},
                               {"output", Str()},
                               {"window", NamedCode(kWindowModes)},
                               {"wizardBitmap", Str()},
                               {"backgroundBitmap", Str()},
                               {"backgroundTitle", Str()},
                               {"titleColor", std::move(colour)},
                               {"titleFont", Ref("font")},
                               {"titleReserved", Ref("int32")},
                               {"auxFile", Str()},
                               {"exclusiveVersions", Ref("flag")},
                               {"versions", ArrayOf(Ref("version"))}});
    JsonValue out = JsonValue::Object();
    out.Set("$schema", "https://json-schema.org/draft/2020-12/schema");
    out.Set("$id", kProjectSchemaName);
    out.Set("title", "Velkan project");
    for (const auto& [key, value] : schema.Members()) out.Set(key, value);
    out.Set("$defs", std::move(defs));
    return out.ToJson(2);
}

}  // namespace velkan
