#include "core/package/VersionSections.h"

#include "core/model/CData.h"
#include "core/model/FileOption.h"
#include "core/package/CByteBuffer.h"
#include "core/package/CSectionWriter.h"
#include "core/package/PackageFormat.h"
#include "core/syntax/StringSyntax.h"
#include "core/wizard/WizardPage.h"
#include "core/wizard/WizardText.h"

namespace velkan {

using namespace package;

namespace {

// The last file of the version whose End page option is this action, or null.
const CFileItem* LastFileWithEndPage(const CData& version, EndPageAction action)
{
    const CFileItem* found = nullptr;
    for (const CFileItem& file : version.m_files) {
        if (file.GetOption(OptEndPage) == action) found = &file;
    }
    return found;
}

bool IsBlank(const std::string& text)
{
    return text.find_first_not_of(' ') == std::string::npos;
}

void PutText(CByteBuffer& body, const std::string& text)
{
    if (IsBlank(text)) {
        body.PutU8(0);
    } else {
        body.PutZString(text);
    }
}

// Appends a Z-string and returns its offset, or 0 for an empty string (nothing appended).
uint32_t PutOptional(CByteBuffer& body, const std::string& text)
{
    if (text.empty()) return 0;
    uint32_t at = static_cast<uint32_t>(body.Size());
    body.PutZString(text);
    return at;
}

// The list sections write the low 16 bits of the count, and exactly that many records, so the
// count always describes the body.
size_t ListCount(size_t size)
{
    return size & 0xFFFF;
}

}  // namespace

std::string FormatWithName(std::string_view format, std::string_view name)
{
    std::string out;
    bool used = false;
    for (size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if (c != '%') {
            out += c;
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        // % [-] [width] [.precision] s
        size_t j = i + 1;
        bool left = false;
        while (j < format.size() && (format[j] == '-' || format[j] == '+' || format[j] == ' ' ||
                                     format[j] == '#' || format[j] == '0')) {
            if (format[j] == '-') left = true;
            ++j;
        }
        size_t width = 0;
        while (j < format.size() && format[j] >= '0' && format[j] <= '9' && width < 10000) {
            width = width * 10 + (format[j++] - '0');
        }
        size_t precision = std::string_view::npos;
        if (j < format.size() && format[j] == '.') {
            ++j;
            precision = 0;
            while (j < format.size() && format[j] >= '0' && format[j] <= '9' && precision < 10000) {
                precision = precision * 10 + (format[j++] - '0');
            }
        }
        if (!used && j < format.size() && format[j] == 's') {
            std::string_view arg = name.substr(0, std::min(precision, name.size()));
            std::string pad(width > arg.size() ? width - arg.size() : 0, ' ');
            out += left ? std::string(arg) + pad : pad + std::string(arg);
            used = true;
            i = j;
        } else {
            out += c;
        }
    }
    return out;
}

std::string PackageText(const CData& version, int page, int text)
{
    if (page < 0 || static_cast<size_t>(page) >= version.m_texts.size()) return std::string();
    const auto& texts = version.m_texts[page];
    if (text < 0 || static_cast<size_t>(text) >= texts.size()) return std::string();
    std::string result = ExpandTitle(texts[text], version.m_strTitle);
    if (page == PageEnd && text == kEndViewText) {
        const CFileItem* view = LastFileWithEndPage(version, EndPageView);
        if (!view) return std::string();
        size_t slash = view->m_strPath.rfind('\\');
        std::string fileName =
            slash == std::string::npos ? view->m_strPath : view->m_strPath.substr(slash + 1);
        result = FormatWithName(result, fileName);
    } else if (page == PageEnd && text == kEndRunText) {
        if (!LastFileWithEndPage(version, EndPageRun)) return std::string();
    }
    return result;
}

// The version block has a text block offset for every page of the catalogue.
static_assert(kVersionTextPages == kTextPageCount);

std::vector<uint8_t> BuildVersionBlock(const CData& version)
{
    CByteBuffer body;
    body.PutZeros(kVersionHeaderSize);
    body.PatchU16(kVersionOptionBits, static_cast<uint16_t>(version.m_nDirFlags & 0xFFFF));

    body.PatchU32(kVersionTitle, PutOptional(body, version.m_strTitle));
    body.PatchU32(kVersionName, PutOptional(body, version.m_strName));
    body.PatchU32(kVersionInstallDir, PutOptional(body, version.m_strInstallDir));
    if (!version.m_strDirKey.empty()) {
        body.PatchU32(kVersionDirRootKey, static_cast<uint32_t>(version.m_nDirRootKey));
        body.PatchU32(kVersionDirKey, PutOptional(body, version.m_strDirKey));
        body.PatchU32(kVersionDirSubkey, PutOptional(body, version.m_strDirSubkey));
    }
    if (!version.m_strDirIniFile.empty() && !version.m_strDirIniSection.empty() &&
        !version.m_strDirIniEntry.empty()) {
        body.PatchU32(kVersionIniFile, PutOptional(body, version.m_strDirIniFile));
        body.PatchU32(kVersionIniSection, PutOptional(body, version.m_strDirIniSection));
        body.PatchU32(kVersionIniEntry, PutOptional(body, version.m_strDirIniEntry));
    }
    for (int page = 0; page < kVersionTextPages; ++page) {
        if (static_cast<size_t>(page) >= version.m_texts.size()) break;
        body.PatchU32(VersionPageField(page), static_cast<uint32_t>(body.Size()));
        if (page == PageUninstaller) {
            body.PutU16(0);
            continue;
        }
        size_t count = version.m_texts[page].size() & 0xFFFF;
        body.PutU16(static_cast<uint16_t>(count));
        for (size_t text = 0; text < count; ++text) {
            PutText(body, PackageText(version, page, static_cast<int>(text)));
        }
    }
    return body.Take();
}

std::optional<std::vector<uint8_t>> BuildIniList(const CData& version)
{
    size_t count = ListCount(version.m_iniEntries.size());
    if (count == 0) return std::nullopt;
    CByteBuffer body;
    body.PutU16(static_cast<uint16_t>(count));
    for (size_t i = 0; i < count; ++i) {
        const CIniInfo& ini = version.m_iniEntries[i];
        body.PutU8(static_cast<uint8_t>(ini.m_nFlags));
        body.PutZString(ini.m_strFile);
        body.PutZString(ini.m_strSection);
        body.PutZString(ini.m_strEntry);
        body.PutZString(ini.m_strValue);
    }
    return body.Take();
}

std::optional<std::vector<uint8_t>> BuildRegList(const CData& version)
{
    size_t count = ListCount(version.m_regEntries.size());
    if (count == 0) return std::nullopt;
    CByteBuffer body;
    body.PutU16(static_cast<uint16_t>(count));
    for (size_t i = 0; i < count; ++i) {
        const CRegInfo& reg = version.m_regEntries[i];
        body.PutU32(static_cast<uint32_t>(reg.m_nRootKey));
        body.PutU8(static_cast<uint8_t>(reg.m_nFlags));
        body.PutZString(reg.m_strKey);
        body.PutZString(reg.m_strSubkey);
        body.PutZString(reg.m_strValue);
    }
    return body.Take();
}

std::optional<std::vector<uint8_t>> BuildFileStringList(const CData& version)
{
    size_t count = ListCount(version.m_fileStrings.size());
    if (count == 0) return std::nullopt;
    CByteBuffer body;
    body.PutU16(static_cast<uint16_t>(count));
    for (size_t i = 0; i < count; ++i) {
        const CFileInfo& info = version.m_fileStrings[i];
        std::vector<unsigned char> pattern;
        if (info.m_nOffsetMode == CFileInfo::Numerical) {
            body.PutU32(ParseOffset(info.m_strOffset));
            body.PutU32(0);
        } else {
            size_t length = ParseBytePattern(info.m_strOffset);
            pattern.resize(length);
            if (length) ParseBytePattern(info.m_strOffset, pattern.data(), pattern.size());
            body.PutU32(kOffsetPattern);
            body.PutU32(static_cast<uint32_t>(length));
        }
        body.PutU32(static_cast<uint32_t>(info.m_nReserved1));
        body.PutU8(static_cast<uint8_t>(info.m_nReserved2));
        body.PutZString(info.m_strFile);
        body.PutZString(info.m_strText);
        body.PutBytes(pattern.data(), pattern.size());
    }
    return body.Take();
}

void WriteVersionSections(CSectionWriter& writer, const CData& version)
{
    std::vector<uint8_t> block = BuildVersionBlock(version);
    writer.WriteSection(kVersionBlock, block.data(), static_cast<uint32_t>(block.size()));
    if (auto ini = BuildIniList(version)) {
        writer.WriteSection(kIniEntries, ini->data(), static_cast<uint32_t>(ini->size()));
    }
    if (auto reg = BuildRegList(version)) {
        writer.WriteSection(kRegEntries, reg->data(), static_cast<uint32_t>(reg->size()));
    }
    if (auto strings = BuildFileStringList(version)) {
        writer.WriteSection(kFileStrings, strings->data(), static_cast<uint32_t>(strings->size()));
    }
}

}  // namespace velkan
