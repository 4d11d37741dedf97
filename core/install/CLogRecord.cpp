#include "core/install/CLogRecord.h"

#include "core/install/WideText.h"

namespace velkan::install {

namespace {

std::wstring RootText(uint32_t root)
{
    return std::wstring(1, static_cast<wchar_t>(L'0' + root));
}

// How many fields a kind has (a font has 2 or 3), and how many of them name the thing.
struct KindShape {
    LogKind kind;
    size_t fields;
    size_t identity;
};
constexpr KindShape kShapes[] = {
    {LogKind::Place, 1, 1},         {LogKind::Product, 1, 1},     {LogKind::Folder, 1, 1},
    {LogKind::File, 1, 1},          {LogKind::SharedFile, 1, 1},  {LogKind::Font, 3, 1},
    {LogKind::Server, 1, 1},        {LogKind::Link, 1, 1},        {LogKind::IniEntry, 6, 3},
    {LogKind::RegistryValue, 5, 3}, {LogKind::RegistryKey, 2, 2}, {LogKind::ProgramsEntry, 2, 2},
};

const KindShape* ShapeOf(LogKind kind)
{
    for (const KindShape& shape : kShapes) {
        if (shape.kind == kind) return &shape;
    }
    return nullptr;
}

}  // namespace

CLogRecord CLogRecord::Place(std::wstring dir)
{
    return {LogKind::Place, {std::move(dir)}};
}
CLogRecord CLogRecord::Product(std::wstring identity)
{
    return {LogKind::Product, {std::move(identity)}};
}
CLogRecord CLogRecord::Folder(std::wstring dir)
{
    return {LogKind::Folder, {std::move(dir)}};
}
CLogRecord CLogRecord::File(std::wstring path)
{
    return {LogKind::File, {std::move(path)}};
}
CLogRecord CLogRecord::SharedFile(std::wstring path)
{
    return {LogKind::SharedFile, {std::move(path)}};
}
CLogRecord CLogRecord::Font(std::wstring path, std::wstring valueName, bool counted)
{
    return {LogKind::Font, {std::move(path), std::move(valueName), counted ? L"S" : L""}};
}
CLogRecord CLogRecord::Server(std::wstring path)
{
    return {LogKind::Server, {std::move(path)}};
}
CLogRecord CLogRecord::Link(std::wstring path)
{
    return {LogKind::Link, {std::move(path)}};
}

CLogRecord CLogRecord::IniEntry(std::wstring file, std::wstring section, std::wstring entry,
                                bool newFile, std::wstring earlier, std::wstring ours)
{
    return {LogKind::IniEntry,
            {std::move(file), std::move(section), std::move(entry), newFile ? L"1" : L"0",
             std::move(earlier), std::move(ours)}};
}

CLogRecord CLogRecord::RegistryValue(uint32_t root, std::wstring key, std::wstring name,
                                     std::wstring earlier, std::wstring ours)
{
    return {LogKind::RegistryValue,
            {RootText(root % kRegistryRoots), std::move(key), std::move(name), std::move(earlier),
             std::move(ours)}};
}

CLogRecord CLogRecord::RegistryKey(uint32_t root, std::wstring key)
{
    return {LogKind::RegistryKey, {RootText(root % kRegistryRoots), std::move(key)}};
}

CLogRecord CLogRecord::ProgramsEntry(uint32_t root, std::wstring key)
{
    return {LogKind::ProgramsEntry, {RootText(root % kRegistryRoots), std::move(key)}};
}

std::optional<CLogRecord> CLogRecord::FromFields(char kind, std::vector<std::wstring> fields)
{
    const KindShape* shape = ShapeOf(static_cast<LogKind>(kind));
    if (!shape) return std::nullopt;
    // A font that raised no count was written with two fields.
    if (shape->kind == LogKind::Font && fields.size() == 2) fields.emplace_back();
    if (fields.size() != shape->fields) return std::nullopt;
    switch (shape->kind) {
    case LogKind::RegistryValue:
    case LogKind::RegistryKey:
    case LogKind::ProgramsEntry:
        if (fields[0].size() != 1 || fields[0][0] < L'0' ||
            fields[0][0] >= static_cast<wchar_t>(L'0' + kRegistryRoots))
            return std::nullopt;
        break;
    case LogKind::Font:
        if (!fields[2].empty() && fields[2] != L"S") return std::nullopt;
        break;
    default: break;
    }
    return CLogRecord(shape->kind, std::move(fields));
}

bool CLogRecord::Counted() const
{
    return m_kind == LogKind::SharedFile || (m_kind == LogKind::Font && m_fields[2] == L"S");
}

bool CLogRecord::NamesFile() const
{
    return m_kind == LogKind::File || m_kind == LogKind::SharedFile || m_kind == LogKind::Font ||
           m_kind == LogKind::Link;
}

bool CLogRecord::SameThing(const CLogRecord& other) const
{
    if (m_kind != other.m_kind) return false;
    size_t n = ShapeOf(m_kind)->identity;
    for (size_t i = 0; i < n; ++i) {
        if (!SameName(m_fields[i], other.m_fields[i])) return false;
    }
    return true;
}

}  // namespace velkan::install
