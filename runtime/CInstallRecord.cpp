#include "runtime/CInstallRecord.h"

#include <windows.h>

#include <algorithm>

#include "runtime/WinText.h"

namespace velkan::runtime {

namespace {

constexpr const char* kHeader = "Velkan install log 1";
// The longest log read back: a log is a few lines per installed file.
constexpr DWORD kMaxLogSize = 64u << 20;

std::string Escape(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '%' || c == '\t' || c == '\r' || c == '\n') {
            char hex[4];
            wsprintfA(hex, "%%%02X", static_cast<unsigned char>(c));
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

std::string Unescape(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

void CInstallRecord::Add(char kind, std::vector<std::wstring> fields)
{
    m_items.push_back({kind, std::move(fields)});
}

namespace {

// How many leading fields name the thing a line is about.
size_t IdentityFields(char kind)
{
    switch (kind) {
    case 'I':
    case 'R': return 3;
    case 'K':
    case 'U': return 2;
    default: return 1;
    }
}

// Where a line keeps what we wrote (the last field of the longer INI and registry lines).
size_t OursField(char kind)
{
    return kind == 'I' ? 5 : kind == 'R' ? 4 : 0;
}

}  // namespace

bool CInstallRecord::SameThing(const Item& a, const Item& b)
{
    if (a.kind != b.kind) return false;
    size_t n = IdentityFields(a.kind);
    if (a.fields.size() < n || b.fields.size() < n) return false;
    for (size_t i = 0; i < n; ++i) {
        if (CompareStringOrdinal(a.fields[i].c_str(), -1, b.fields[i].c_str(), -1, TRUE) !=
            CSTR_EQUAL)
            return false;
    }
    return true;
}

const CInstallRecord::Item* CInstallRecord::Find(const Item& item) const
{
    for (const Item& mine : m_items) {
        if (SameThing(mine, item)) return &mine;
    }
    return nullptr;
}

void CInstallRecord::Merge(const CInstallRecord& later)
{
    for (const Item& item : later.m_items) {
        auto it = std::find_if(m_items.begin(), m_items.end(),
                               [&](const Item& mine) { return SameThing(mine, item); });
        if (it == m_items.end()) {
            m_items.push_back(item);
            continue;
        }
        size_t ours = OursField(item.kind);
        if (ours && it->fields.size() > ours && item.fields.size() > ours)
            it->fields[ours] = item.fields[ours];
    }
}

bool CInstallRecord::Save(const std::wstring& path) const
{
    std::string text = std::string(kHeader) + "\r\n";
    for (const Item& item : m_items) {
        text += item.kind;
        for (const std::wstring& field : item.fields) text += "\t" + Escape(ToUtf8(field));
        text += "\r\n";
    }
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
              written == text.size();
    ok = CloseHandle(file) && ok;
    return ok;
}

bool CInstallRecord::Load(const std::wstring& path)
{
    m_items.clear();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD size = GetFileSize(file, nullptr);
    std::string text;
    bool ok = size != INVALID_FILE_SIZE && size <= kMaxLogSize;
    if (ok) {
        text.resize(size);
        DWORD got = 0;
        ok = size == 0 || (ReadFile(file, text.data(), size, &got, nullptr) && got == size);
    }
    CloseHandle(file);
    if (!ok || text.rfind(kHeader, 0) != 0) return false;
    size_t pos = text.find('\n');
    while (pos != std::string::npos && pos + 1 < text.size()) {
        size_t end = text.find('\n', pos + 1);
        std::string line =
            text.substr(pos + 1, end == std::string::npos ? std::string::npos : end - pos - 1);
        pos = end;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        Item item;
        item.kind = line[0];
        size_t field = line.find('\t');
        while (field != std::string::npos) {
            size_t next = line.find('\t', field + 1);
            std::string part = line.substr(
                field + 1, next == std::string::npos ? std::string::npos : next - field - 1);
            try {
                item.fields.push_back(FromUtf8(Unescape(part)));
            } catch (const std::exception&) {
                item.fields.push_back(FromUtf8(part));
            }
            field = next;
        }
        m_items.push_back(std::move(item));
    }
    return true;
}

}  // namespace velkan::runtime
