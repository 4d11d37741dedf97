#include "core/package/UninstallerData.h"

#include "core/model/CData.h"
#include "core/package/CByteBuffer.h"
#include "core/package/PackageFormat.h"
#include "core/platform/CodePage.h"
#include "core/wizard/WizardPage.h"
#include "core/wizard/WizardText.h"

namespace velkan {

using namespace package;

namespace {

// An unpacked section of the block: header with flags 0, then the body.
void PutSection(CByteBuffer& block, uint16_t id, const CByteBuffer& body)
{
    block.PutU16(id);
    block.PutU16(0);
    block.PutU32(static_cast<uint32_t>(body.Size()));
    block.PutBytes(body.Data(), body.Size());
}

}  // namespace

RegistryKeyToRemove SplitRegistryKey(std::string_view key)
{
    static const struct {
        const char* name;
        uint32_t root;
    } kRoots[] = {
        {"HKEY_CLASSES_ROOT", kHkeyClassesRoot},
        {"HKEY_CURRENT_USER", kHkeyCurrentUser},
        {"HKEY_LOCAL_MACHINE", kHkeyLocalMachine},
        {"HKEY_USERS", kHkeyUsers},
    };
    size_t separator = key.find('\\');
    if (separator == std::string_view::npos) separator = key.find('/');
    if (separator != std::string_view::npos) {
        std::string_view head = key.substr(0, separator);
        for (const auto& root : kRoots) {
            if (EqualNoCase1252(head, root.name)) {
                return {root.root, std::string(key.substr(separator + 1))};
            }
        }
    }
    return {0, std::string(key)};
}

std::vector<std::string> SplitExtraFiles(std::string_view text)
{
    std::vector<std::string> items;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of(",;", start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view piece = text.substr(start, end - start);
        if (!piece.empty()) {
            if (piece.size() >= 2 && piece[0] == '*' && piece[1] == '.') {
                std::string_view rest = piece.substr(1);
                if (rest == ".*") return {"*"};
                items.emplace_back(rest);
            } else {
                items.emplace_back(piece);
            }
        }
        start = end + 1;
    }
    return items;
}

std::vector<uint8_t> BuildUninstallerData(const CData& version)
{
    CByteBuffer block;

    CByteBuffer texts;
    texts.PutU16(1);
    std::vector<std::string> pageTexts;
    if (static_cast<size_t>(PageUninstaller) < version.m_texts.size()) {
        pageTexts = version.m_texts[PageUninstaller];
    }
    size_t count = pageTexts.size() & 0xFFFF;
    texts.PutU16(static_cast<uint16_t>(count));
    for (size_t i = 0; i < count; ++i) {
        texts.PutCountedString(ExpandTitle(pageTexts[i], version.m_strTitle));
    }
    PutSection(block, kUninstTexts, texts);

    CByteBuffer keys;
    keys.PutU32(static_cast<uint32_t>(version.m_regKeysToRemove.size()));
    for (const std::string& key : version.m_regKeysToRemove) {
        RegistryKeyToRemove split = SplitRegistryKey(key);
        keys.PutU32(split.root);
        keys.PutCountedString(split.path);
    }
    PutSection(block, kUninstRegKeys, keys);

    std::vector<std::string> files = SplitExtraFiles(version.m_strUninstExtra);
    if (!files.empty()) {
        CByteBuffer list;
        for (const std::string& file : files) list.PutZString(file);
        list.PutU8(0);
        PutSection(block, kUninstFiles, list);
    }

    PutSection(block, kUninstEnd, CByteBuffer());
    return block.Take();
}

}  // namespace velkan
