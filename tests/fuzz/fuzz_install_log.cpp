// Reads arbitrary bytes as an install log. Besides not crashing: a log read back from its own
// text is the same log, so what the uninstaller reads is what the setup program meant.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/install/CInstallLog.h"

using namespace velkan::install;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::optional<CInstallLog> log = CInstallLog::FromText(text);
    if (!log) return 0;
    for (const CLogRecord& record : log->Records()) {
        // Every named field of its kind is there.
        switch (record.Kind()) {
        case LogKind::IniEntry:
            if (record.IniFile().size() + record.Earlier().size() + record.Ours().size() > size)
                std::abort();
            break;
        case LogKind::RegistryValue:
            if (record.Root() >= kRegistryRoots || record.Ours().size() > size) std::abort();
            break;
        case LogKind::RegistryKey:
        case LogKind::ProgramsEntry:
            if (record.Root() >= kRegistryRoots || record.Key().size() > size) std::abort();
            break;
        case LogKind::Font: (void)record.FontValueName(); [[fallthrough]];
        default:
            if (record.Path().size() > size) std::abort();
            break;
        }
    }
    std::string again = log->ToText();
    std::optional<CInstallLog> reread = CInstallLog::FromText(again);
    if (!reread || reread->ToText() != again) std::abort();
    CInstallLog merged = *log;
    merged.Merge(*reread);
    if (merged.Records().size() != log->Records().size()) std::abort();
    return 0;
}
