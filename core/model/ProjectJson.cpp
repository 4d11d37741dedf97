#include "core/model/ProjectJson.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "core/model/CJsonException.h"
#include "core/platform/CodePage.h"
#include "core/wizard/CTextCatalogue.h"
#include "core/wizard/WizardPage.h"

namespace velkan {

// ---------------------------------------------------------------------------------------------
// Writing

namespace {

JsonValue Text(const std::string& cp1252)
{
    return JsonValue(Cp1252ToUtf8(cp1252));
}

JsonValue TextArray(const std::vector<std::string>& texts)
{
    JsonValue a = JsonValue::Array();
    for (const auto& t : texts) a.Add(Text(t));
    return a;
}

// All 32 bytes of the face name but its trailing zeros: bytes after the first zero are kept
// (as \u0000 escapes) so that a font read from any file is written back unchanged.
std::string FaceNameBytes(const LogFont& f)
{
    size_t n = f.lfFaceName.size();
    while (n > 0 && f.lfFaceName[n - 1] == 0) --n;
    return std::string(f.lfFaceName.data(), n);
}

JsonValue FontToJson(const LogFont& f)
{
    JsonValue o = JsonValue::Object();
    o.Set("lfHeight", f.lfHeight);
    o.Set("lfWidth", f.lfWidth);
    o.Set("lfEscapement", f.lfEscapement);
    o.Set("lfOrientation", f.lfOrientation);
    o.Set("lfWeight", f.lfWeight);
    o.Set("lfItalic", int(f.lfItalic));
    o.Set("lfUnderline", int(f.lfUnderline));
    o.Set("lfStrikeOut", int(f.lfStrikeOut));
    o.Set("lfCharSet", int(f.lfCharSet));
    o.Set("lfOutPrecision", int(f.lfOutPrecision));
    o.Set("lfClipPrecision", int(f.lfClipPrecision));
    o.Set("lfQuality", int(f.lfQuality));
    o.Set("lfPitchAndFamily", int(f.lfPitchAndFamily));
    o.Set("lfFaceName", Text(FaceNameBytes(f)));
    return o;
}

JsonValue FileToJson(const CFileItem& f, bool forPeople)
{
    JsonValue o = JsonValue::Object();
    o.Set("m_strPath", Text(f.m_strPath));
    if (forPeople) o.Set("FlagsText", f.FlagsText());
    JsonValue options = JsonValue::Array();
    for (int32_t v : f.m_nOptions) options.Add(v);
    o.Set("m_nOptions", std::move(options));
    o.Set("m_strMenuFolder", Text(f.m_strMenuFolder));
    o.Set("m_strMenuName", Text(f.m_strMenuName));
    o.Set("m_strMenuArgs", Text(f.m_strMenuArgs));
    o.Set("m_nIconIndex", f.m_nIconIndex);
    o.Set("m_strShortcutName", Text(f.m_strShortcutName));
    o.Set("m_strShortcutArgs", Text(f.m_strShortcutArgs));
    return std::move(o.SetOneLine());
}

JsonValue VersionToJson(const CData& v, bool forPeople)
{
    JsonValue o = JsonValue::Object();
    o.Set("m_strName", Text(v.m_strName));
    o.Set("m_strSourceDir", Text(v.m_strSourceDir));
    o.Set("m_bSubDirs", v.m_bSubDirs);
    JsonValue files = JsonValue::Array();
    for (const CFileItem& f : v.m_files) files.Add(FileToJson(f, forPeople));
    o.Set("m_files", std::move(files));
    o.Set("m_strTitle", Text(v.m_strTitle));
    JsonValue texts = JsonValue::Array();
    for (const auto& page : v.m_texts) texts.Add(TextArray(page));
    o.Set("m_texts", std::move(texts));
    o.Set("m_strUninstFile", Text(v.m_strUninstFile));
    o.Set("m_strUninstFolder", Text(v.m_strUninstFolder));
    o.Set("m_strUninstIcon", Text(v.m_strUninstIcon));
    o.Set("m_strUninstExtra", Text(v.m_strUninstExtra));
    o.Set("m_regKeysToRemove", TextArray(v.m_regKeysToRemove));
    o.Set("m_nDirFlags", v.m_nDirFlags);
    o.Set("m_strInstallDir", Text(v.m_strInstallDir));
    o.Set("m_nDirRootKey", v.m_nDirRootKey);
    o.Set("m_strDirKey", Text(v.m_strDirKey));
    o.Set("m_strDirSubkey", Text(v.m_strDirSubkey));
    o.Set("m_strDirIniFile", Text(v.m_strDirIniFile));
    o.Set("m_strDirIniSection", Text(v.m_strDirIniSection));
    o.Set("m_strDirIniEntry", Text(v.m_strDirIniEntry));
    JsonValue ini = JsonValue::Array();
    for (const CIniInfo& e : v.m_iniEntries) {
        JsonValue x = JsonValue::Object();
        x.Set("m_strFile", Text(e.m_strFile));
        x.Set("m_strSection", Text(e.m_strSection));
        x.Set("m_strEntry", Text(e.m_strEntry));
        x.Set("m_strValue", Text(e.m_strValue));
        x.Set("m_nFlags", e.m_nFlags);
        ini.Add(std::move(x.SetOneLine()));
    }
    o.Set("m_iniEntries", std::move(ini));
    JsonValue reg = JsonValue::Array();
    for (const CRegInfo& e : v.m_regEntries) {
        JsonValue x = JsonValue::Object();
        x.Set("m_nRootKey", e.m_nRootKey);
        if (forPeople) x.Set("DisplayKey", Text(e.DisplayKey()));
        x.Set("m_strKey", Text(e.m_strKey));
        x.Set("m_strSubkey", Text(e.m_strSubkey));
        x.Set("m_strValue", Text(e.m_strValue));
        x.Set("m_nFlags", e.m_nFlags);
        reg.Add(std::move(x.SetOneLine()));
    }
    o.Set("m_regEntries", std::move(reg));
    JsonValue strings = JsonValue::Array();
    for (const CFileInfo& e : v.m_fileStrings) {
        JsonValue x = JsonValue::Object();
        x.Set("m_strFile", Text(e.m_strFile));
        x.Set("m_nOffsetMode", e.m_nOffsetMode);
        x.Set("m_strOffset", Text(e.m_strOffset));
        x.Set("m_strText", Text(e.m_strText));
        x.Set("m_nReserved1", e.m_nReserved1);
        x.Set("m_nReserved2", e.m_nReserved2);
        strings.Add(std::move(x.SetOneLine()));
    }
    o.Set("m_fileStrings", std::move(strings));
    return o;
}

}  // namespace

JsonValue ProjectToJson(const CDataArray& p, bool forPeople)
{
    JsonValue o = JsonValue::Object();
    o.Set("m_strWizardBitmap", Text(p.m_strWizardBitmap));
    o.Set("m_strBackBitmap", Text(p.m_strBackBitmap));
    o.Set("m_strBackTitle", Text(p.m_strBackTitle));
    o.Set("m_strAuxFile", Text(p.m_strAuxFile));
    o.Set("m_nWindowMode", p.m_nWindowMode);
    o.Set("m_strOutputPath", Text(p.m_strOutputPath));
    o.Set("m_nPlatform", p.m_nPlatform);
    o.Set("m_bExclusive", p.m_bExclusive);
    o.Set("m_nTitleReserved", p.m_nTitleReserved);
    o.Set("m_crTitleColor", p.m_crTitleColor);
    o.Set("m_lfTitleFont", FontToJson(p.m_lfTitleFont));
    JsonValue versions = JsonValue::Array();
    for (const CData& v : p.m_versions) versions.Add(VersionToJson(v, forPeople));
    o.Set("m_versions", std::move(versions));
    return o;
}

std::string WriteProjectJson(const CDataArray& project)
{
    return ProjectToJson(project, false).ToJson(2);
}

// ---------------------------------------------------------------------------------------------
// Reading

namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& what)
{
    throw CJsonException((path.empty() ? std::string("the project") : path) + ": " + what);
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

void ExpectType(const JsonValue& v, JsonValue::Type type, const std::string& path)
{
    if (v.GetType() != type)
        Fail(path, std::string("expected ") + TypeName(type) + ", found " + TypeName(v.GetType()));
}

int64_t ReadWhole(const JsonValue& v, const std::string& path, int64_t low, int64_t high)
{
    ExpectType(v, JsonValue::Type::Number, path);
    if (!v.IsWhole() || v.GetNumber() < low || v.GetNumber() > high) {
        Fail(path, "expected a whole number from " + std::to_string(low) + " to " +
                       std::to_string(high) + ", found " + v.GetText());
    }
    return v.GetNumber();
}

int32_t ReadInt(const JsonValue& v, const std::string& path)
{
    return static_cast<int32_t>(ReadWhole(v, path, std::numeric_limits<int32_t>::min(),
                                          std::numeric_limits<int32_t>::max()));
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
            Fail(path,
                 "\"" + std::string(one) + "\" (" + code +
                     ") is a character that the Windows-1252 code page of projects cannot hold");
        }
        pos += length;
    }
    Fail(path, "a text that the Windows-1252 code page of projects cannot hold");
}

std::vector<std::string> ReadStringArray(const JsonValue& v, const std::string& path)
{
    ExpectType(v, JsonValue::Type::Array, path);
    std::vector<std::string> out;
    for (size_t i = 0; i < v.Items().size(); ++i) {
        out.push_back(ReadString(v.Items()[i], path + "[" + std::to_string(i) + "]"));
    }
    return out;
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

    std::string PathOf(const char* key) const { return m_path.empty() ? key : m_path + "." + key; }

    template <typename Read>
    void Field(const char* key, Read read)
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
    void Strings(const char* key, std::vector<std::string>& out)
    {
        Field(key, [&](const JsonValue& v, const std::string& p) { out = ReadStringArray(v, p); });
    }
    template <typename Record, typename Container, typename ReadRecord>
    void List(const char* key, Container& out, ReadRecord readRecord)
    {
        Field(key, [&](const JsonValue& v, const std::string& p) {
            ExpectType(v, JsonValue::Type::Array, p);
            out.clear();
            for (size_t i = 0; i < v.Items().size(); ++i) {
                Record record;
                readRecord(v.Items()[i], p + "[" + std::to_string(i) + "]", record);
                out.push_back(std::move(record));
            }
        });
    }

    void Done() const
    {
        for (size_t i = 0; i < m_used.size(); ++i) {
            if (!m_used[i]) Fail(PathOf(m_object.Members()[i].first.c_str()), "unknown key");
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
    r.Int("lfHeight", f.lfHeight);
    r.Int("lfWidth", f.lfWidth);
    r.Int("lfEscapement", f.lfEscapement);
    r.Int("lfOrientation", f.lfOrientation);
    r.Int("lfWeight", f.lfWeight);
    r.Byte("lfItalic", f.lfItalic);
    r.Byte("lfUnderline", f.lfUnderline);
    r.Byte("lfStrikeOut", f.lfStrikeOut);
    r.Byte("lfCharSet", f.lfCharSet);
    r.Byte("lfOutPrecision", f.lfOutPrecision);
    r.Byte("lfClipPrecision", f.lfClipPrecision);
    r.Byte("lfQuality", f.lfQuality);
    r.Byte("lfPitchAndFamily", f.lfPitchAndFamily);
    r.Field("lfFaceName", [&](const JsonValue& x, const std::string& p) {
        std::string name = ReadString(x, p);
        if (name.size() > f.lfFaceName.size()) {
            Fail(p, "a face name holds at most " + std::to_string(f.lfFaceName.size()) + " bytes");
        }
        f.lfFaceName.fill(0);
        std::copy(name.begin(), name.end(), f.lfFaceName.begin());
    });
    r.Done();
}

void ReadFile(const JsonValue& v, const std::string& path, CFileItem& f)
{
    CObjectReader r(v, path);
    r.String("m_strPath", f.m_strPath);
    r.Field("m_nOptions", [&](const JsonValue& x, const std::string& p) {
        ExpectType(x, JsonValue::Type::Array, p);
        if (x.Items().size() > f.m_nOptions.size()) {
            Fail(p, "at most " + std::to_string(f.m_nOptions.size()) + " options, found " +
                        std::to_string(x.Items().size()));
        }
        for (size_t i = 0; i < x.Items().size(); ++i) {
            f.m_nOptions[i] = ReadInt(x.Items()[i], p + "[" + std::to_string(i) + "]");
        }
    });
    r.String("m_strMenuFolder", f.m_strMenuFolder);
    r.String("m_strMenuName", f.m_strMenuName);
    r.String("m_strMenuArgs", f.m_strMenuArgs);
    r.Int("m_nIconIndex", f.m_nIconIndex);
    r.String("m_strShortcutName", f.m_strShortcutName);
    r.String("m_strShortcutArgs", f.m_strShortcutArgs);
    r.Done();
}

void ReadIni(const JsonValue& v, const std::string& path, CIniInfo& e)
{
    CObjectReader r(v, path);
    r.String("m_strFile", e.m_strFile);
    r.String("m_strSection", e.m_strSection);
    r.String("m_strEntry", e.m_strEntry);
    r.String("m_strValue", e.m_strValue);
    r.Int("m_nFlags", e.m_nFlags);
    r.Done();
}

void ReadReg(const JsonValue& v, const std::string& path, CRegInfo& e)
{
    CObjectReader r(v, path);
    r.Int("m_nRootKey", e.m_nRootKey);
    r.String("m_strKey", e.m_strKey);
    r.String("m_strSubkey", e.m_strSubkey);
    r.String("m_strValue", e.m_strValue);
    r.Int("m_nFlags", e.m_nFlags);
    r.Done();
}

void ReadFileString(const JsonValue& v, const std::string& path, CFileInfo& e)
{
    CObjectReader r(v, path);
    r.String("m_strFile", e.m_strFile);
    r.Int("m_nOffsetMode", e.m_nOffsetMode);
    r.String("m_strOffset", e.m_strOffset);
    r.String("m_strText", e.m_strText);
    r.Int("m_nReserved1", e.m_nReserved1);
    r.Int("m_nReserved2", e.m_nReserved2);
    r.Done();
}

// Texts overlay the catalogue's defaults by position, as the binary reader does; more pages or
// texts than the catalogue has are refused rather than dropped, since here they are a typing slip.
void ReadTexts(const JsonValue& v, const std::string& path, CData& version)
{
    ExpectType(v, JsonValue::Type::Array, path);
    if (v.Items().size() > static_cast<size_t>(kTextPageCount)) {
        Fail(path, "at most " + std::to_string(kTextPageCount) + " wizard pages, found " +
                       std::to_string(v.Items().size()));
    }
    TextPages stored;
    for (size_t page = 0; page < v.Items().size(); ++page) {
        std::string pagePath = path + "[" + std::to_string(page) + "]";
        stored.push_back(ReadStringArray(v.Items()[page], pagePath));
        size_t count = static_cast<size_t>(CTextCatalogue::TextCount(static_cast<int>(page)));
        if (stored.back().size() > count) {
            Fail(pagePath, "wizard page " + std::to_string(page) + " has " + std::to_string(count) +
                               " texts, found " + std::to_string(stored.back().size()));
        }
    }
    version.ResetTexts();
    version.OverlayTexts(stored);
}

void ReadVersion(const JsonValue& v, const std::string& path, CData& d)
{
    CObjectReader r(v, path);
    r.String("m_strName", d.m_strName);
    r.String("m_strSourceDir", d.m_strSourceDir);
    r.Int("m_bSubDirs", d.m_bSubDirs);
    r.Field("m_files", [&](const JsonValue& x, const std::string& p) {
        ExpectType(x, JsonValue::Type::Array, p);
        d.m_files.clear();
        for (size_t i = 0; i < x.Items().size(); ++i) {
            CFileItem item;
            ReadFile(x.Items()[i], p + "[" + std::to_string(i) + "]", item);
            d.m_files.push_back(std::move(item));
        }
    });
    r.String("m_strTitle", d.m_strTitle);
    r.Field("m_texts", [&](const JsonValue& x, const std::string& p) { ReadTexts(x, p, d); });
    r.String("m_strUninstFile", d.m_strUninstFile);
    r.String("m_strUninstFolder", d.m_strUninstFolder);
    r.String("m_strUninstIcon", d.m_strUninstIcon);
    r.String("m_strUninstExtra", d.m_strUninstExtra);
    r.Strings("m_regKeysToRemove", d.m_regKeysToRemove);
    r.Int("m_nDirFlags", d.m_nDirFlags);
    r.String("m_strInstallDir", d.m_strInstallDir);
    r.Int("m_nDirRootKey", d.m_nDirRootKey);
    r.String("m_strDirKey", d.m_strDirKey);
    r.String("m_strDirSubkey", d.m_strDirSubkey);
    r.String("m_strDirIniFile", d.m_strDirIniFile);
    r.String("m_strDirIniSection", d.m_strDirIniSection);
    r.String("m_strDirIniEntry", d.m_strDirIniEntry);
    r.List<CIniInfo>("m_iniEntries", d.m_iniEntries, ReadIni);
    r.List<CRegInfo>("m_regEntries", d.m_regEntries, ReadReg);
    r.List<CFileInfo>("m_fileStrings", d.m_fileStrings, ReadFileString);
    r.Done();
}

}  // namespace

CDataArray ReadProjectJson(std::string_view text)
{
    JsonValue root = JsonValue::Parse(text);
    // Each version costs a whole catalogue of texts, however short its text ("{}"), so their
    // number is held to the same proportion to the text as the tree's values.
    for (const auto& [key, value] : root.Members()) {
        if (key != "m_versions" || value.GetType() != JsonValue::Type::Array) continue;
        CData fresh;
        fresh.ResetTexts();
        const uint64_t need = uint64_t(value.Items().size()) * fresh.TextMemory();
        if (need > JsonValue::kMemoryPerTextByte * text.size() + JsonValue::kMemoryAllowance) {
            Fail("m_versions", std::to_string(value.Items().size()) +
                                   " versions take more memory than text of " +
                                   std::to_string(text.size()) + " bytes may");
        }
    }
    CDataArray p;
    p.Reset();
    p.m_versions.emplace_back();
    CObjectReader r(root, "");
    r.String("m_strWizardBitmap", p.m_strWizardBitmap);
    r.String("m_strBackBitmap", p.m_strBackBitmap);
    r.String("m_strBackTitle", p.m_strBackTitle);
    r.String("m_strAuxFile", p.m_strAuxFile);
    r.Int("m_nWindowMode", p.m_nWindowMode);
    r.String("m_strOutputPath", p.m_strOutputPath);
    r.Int("m_nPlatform", p.m_nPlatform);
    r.Int("m_bExclusive", p.m_bExclusive);
    r.Int("m_nTitleReserved", p.m_nTitleReserved);
    r.Field("m_crTitleColor", [&](const JsonValue& v, const std::string& path) {
        p.m_crTitleColor = static_cast<uint32_t>(ReadWhole(v, path, 0, 0xFFFFFFFF));
    });
    r.Field("m_lfTitleFont", [&](const JsonValue& v, const std::string& path) {
        ReadFont(v, path, p.m_lfTitleFont);
    });
    r.List<CData>("m_versions", p.m_versions, ReadVersion);
    r.Done();
    p.m_nCurrent = 0;
    return p;
}

}  // namespace velkan
