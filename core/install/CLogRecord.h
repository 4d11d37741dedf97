// One line of the install log: a change a setup run made, which the uninstaller (or the run's own
// rollback) undoes. Every kind of change and every field of it is named here, and only here: the
// installer, the merge, the rollback and the uninstaller read and make records through these
// accessors. In the log a record is its kind letter, then its fields, tab-separated:
//
//   P dir                           the installation directory (the log's first line)
//   N product                       the product identity (its setup program's ProductId)
//   D dir                           directory created
//   F path                          file installed
//   S path                          shared file whose usage count was incremented
//   O path  value-name  [S]         font installed and registered (S: its usage count went up)
//   X path                          file registered as a server (DllRegisterServer)
//   L path                          shell link created
//   I file  section  entry  new  earlier  ours
//                                   INI entry written (new "1": the file did not exist before)
//   R root  key  name  earlier  ours
//                                   registry value written (root 0..3)
//   K root  key                     registry key created
//   U root  key                     entry in the installed-programs list
//
// "earlier" is what stood before the product first wrote the thing: kNoEarlierValue when
// nothing did; for an INI entry "=" and the text; for a registry value TYPE:HEXBYTES (its exact
// type and bytes), or empty when it was too large to keep. "ours" is what we wrote, as it reads
// back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velkan::install {

enum class LogKind : char {
    Place = 'P',
    Product = 'N',
    Folder = 'D',
    File = 'F',
    SharedFile = 'S',
    Font = 'O',
    Server = 'X',
    Link = 'L',
    IniEntry = 'I',
    RegistryValue = 'R',
    RegistryKey = 'K',
    ProgramsEntry = 'U',
};

// The earlier value of a thing that did not exist.
inline constexpr const wchar_t* kNoEarlierValue = L"-";
// The registry roots a record may name (0..3, as the package numbers them).
inline constexpr uint32_t kRegistryRoots = 4;

class CLogRecord {
public:
    static CLogRecord Place(std::wstring dir);
    static CLogRecord Product(std::wstring identity);
    static CLogRecord Folder(std::wstring dir);
    static CLogRecord File(std::wstring path);
    static CLogRecord SharedFile(std::wstring path);
    static CLogRecord Font(std::wstring path, std::wstring valueName, bool counted);
    static CLogRecord Server(std::wstring path);
    static CLogRecord Link(std::wstring path);
    // Without earlier and ours, the record names the entry alone (to look it up).
    static CLogRecord IniEntry(std::wstring file, std::wstring section, std::wstring entry,
                               bool newFile = false, std::wstring earlier = kNoEarlierValue,
                               std::wstring ours = {});
    static CLogRecord RegistryValue(uint32_t root, std::wstring key, std::wstring name,
                                    std::wstring earlier = kNoEarlierValue, std::wstring ours = {});
    static CLogRecord RegistryKey(uint32_t root, std::wstring key);
    static CLogRecord ProgramsEntry(uint32_t root, std::wstring key);

    // A record from a log line's kind letter and fields; nullopt for an unknown kind, a wrong
    // number of fields or a root out of range.
    static std::optional<CLogRecord> FromFields(char kind, std::vector<std::wstring> fields);
    const std::vector<std::wstring>& Fields() const { return m_fields; }

    LogKind Kind() const { return m_kind; }
    // The file, folder or link (P D F S O X L), or the product identity (N).
    const std::wstring& Path() const { return m_fields[0]; }
    const std::wstring& FontValueName() const { return m_fields[1]; }
    // Whether the record raised a usage count (S, or O with S).
    bool Counted() const;
    // A record that removes a file (F S O L): its path.
    bool NamesFile() const;

    const std::wstring& IniFile() const { return m_fields[0]; }
    const std::wstring& IniSection() const { return m_fields[1]; }
    const std::wstring& IniEntryName() const { return m_fields[2]; }
    bool IniNewFile() const { return m_fields[3] == L"1"; }

    // R K U.
    uint32_t Root() const { return static_cast<uint32_t>(m_fields[0][0] - L'0'); }
    const std::wstring& Key() const { return m_fields[1]; }
    const std::wstring& ValueName() const { return m_fields[2]; }

    // I R: what stood before and what we wrote.
    const std::wstring& Earlier() const { return m_fields[EarlierField()]; }
    bool HadEarlier() const { return Earlier() != kNoEarlierValue; }
    const std::wstring& Ours() const { return m_fields[EarlierField() + 1]; }
    void SetOurs(std::wstring ours) { m_fields[EarlierField() + 1] = std::move(ours); }
    void SetEarlier(std::wstring earlier) { m_fields[EarlierField()] = std::move(earlier); }

    // Whether two records name the same thing (path, INI entry, registry value or key; names
    // compared without case, as Windows compares them).
    bool SameThing(const CLogRecord& other) const;

private:
    CLogRecord(LogKind kind, std::vector<std::wstring> fields)
        : m_kind(kind), m_fields(std::move(fields))
    {
    }
    size_t EarlierField() const { return m_kind == LogKind::IniEntry ? 4 : 3; }

    LogKind m_kind;
    std::vector<std::wstring> m_fields;
};

}  // namespace velkan::install
