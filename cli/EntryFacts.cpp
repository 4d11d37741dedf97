#include "cli/EntryFacts.h"

#include <cstdio>

#include "core/package/CPackageReader.h"
#include "core/package/PackageFormat.h"
#include "core/platform/CodePage.h"

namespace velkan::cli {

JsonValue EntryFacts(const CPackageReader& reader, size_t version, size_t entry)
{
    const CFileEntry& e = reader.Contents().versions[version].files[entry];
    char checksum[16];
    std::snprintf(checksum, sizeof checksum, "0x%08X", static_cast<unsigned>(e.m_nChecksum));
    const bool delta = (e.m_nFlags & package::kEntryDelta) != 0;
    JsonValue o = JsonValue::Object();
    o.Set("number", static_cast<uint64_t>(entry + 1));
    o.Set("path", Cp1252ToUtf8(e.m_strPath));
    o.Set("uninstaller", (e.m_nFlags & package::kEntryUninstaller) != 0);
    o.Set("external", e.IsExternal());
    o.Set("size", e.m_nSize);
    o.Set("packedSize", e.m_nPackedSize);
    o.Set("delta", delta);
    o.Set("deltaAgainstVersion",
          delta ? JsonValue(static_cast<int>(e.m_nSourceVersion) + 1) : JsonValue());
    o.Set("checksum", checksum);
    return o;
}

JsonValue VersionFacts(const CPackageReader& reader, size_t version)
{
    const auto& block = reader.Contents().versions[version].block;
    JsonValue o = JsonValue::Object();
    o.Set("number", static_cast<uint64_t>(version + 1));
    o.Set("name", Cp1252ToUtf8(block.name));
    o.Set("title", Cp1252ToUtf8(block.title));
    return o;
}

}  // namespace velkan::cli
