#include "cli/ProjectJson.h"

#include "core/platform/CodePage.h"

namespace velkan::cli {

namespace {

JsonValue Text(const std::string& cp1252) { return JsonValue(Cp1252ToUtf8(cp1252)); }

JsonValue TextArray(const std::vector<std::string>& texts)
{
    JsonValue a = JsonValue::Array();
    for (const auto& t : texts) a.Add(Text(t));
    return a;
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
    o.Set("lfFaceName", Text(f.FaceName()));
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
    return o;
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
        ini.Add(std::move(x));
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
        reg.Add(std::move(x));
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
        strings.Add(std::move(x));
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

}  // namespace velkan::cli
