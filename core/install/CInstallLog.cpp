#include "core/install/CInstallLog.h"

#include <algorithm>

#include "core/install/WideText.h"

namespace velkan::install {

namespace {

std::string Escape(const std::string& text)
{
    static const char* const kDigits = "0123456789ABCDEF";
    std::string out;
    for (char c : text) {
        if (c == '%' || c == '\t' || c == '\r' || c == '\n') {
            auto byte = static_cast<unsigned char>(c);
            out += '%';
            out += kDigits[byte >> 4];
            out += kDigits[byte & 15];
        } else {
            out += c;
        }
    }
    return out;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// A '%' not followed by two hex digits stands for itself.
std::string Unescape(std::string_view text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        int high = -1, low = -1;
        if (text[i] == '%' && i + 2 < text.size()) {
            high = HexDigit(text[i + 1]);
            low = HexDigit(text[i + 2]);
        }
        if (high >= 0 && low >= 0) {
            out += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

const CLogRecord* CInstallLog::Find(const CLogRecord& record) const
{
    for (const CLogRecord& mine : m_records) {
        if (mine.SameThing(record)) return &mine;
    }
    return nullptr;
}

const std::wstring* CInstallLog::PlaceDir() const
{
    if (m_records.empty() || m_records[0].Kind() != LogKind::Place) return nullptr;
    return &m_records[0].Path();
}

const std::wstring* CInstallLog::ProductId() const
{
    for (const CLogRecord& record : m_records) {
        if (record.Kind() == LogKind::Product) return &record.Path();
    }
    return nullptr;
}

bool CInstallLog::CountedFile(std::wstring_view path) const
{
    return std::any_of(m_records.begin(), m_records.end(), [&](const CLogRecord& record) {
        return record.Counted() && SameName(record.Path(), path);
    });
}

void CInstallLog::Merge(const CInstallLog& later)
{
    for (const CLogRecord& record : later.m_records) {
        auto it = std::find_if(m_records.begin(), m_records.end(),
                               [&](const CLogRecord& mine) { return mine.SameThing(record); });
        if (it == m_records.end()) {
            m_records.push_back(record);
        } else if (record.Kind() == LogKind::IniEntry || record.Kind() == LogKind::RegistryValue) {
            it->SetOurs(record.Ours());
        }
    }
}

std::string CInstallLog::ToText() const
{
    std::string text = std::string(kHeader) + "\r\n";
    for (const CLogRecord& record : m_records) {
        text += static_cast<char>(record.Kind());
        for (const std::wstring& field : record.Fields()) text += "\t" + Escape(ToUtf8(field));
        text += "\r\n";
    }
    return text;
}

std::optional<CInstallLog> CInstallLog::FromText(std::string_view text)
{
    std::string_view header(kHeader);
    if (text.size() > kMaxSize || text.substr(0, header.size()) != header) return std::nullopt;
    size_t afterHeader = header.size();
    if (afterHeader < text.size() && text[afterHeader] == '\r') ++afterHeader;
    if (afterHeader < text.size() && text[afterHeader] != '\n') return std::nullopt;
    CInstallLog log;
    size_t pos = afterHeader;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos + 1);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos + 1, end - pos - 1);
        pos = end;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        std::vector<std::wstring> fields;
        size_t field = line.find('\t');
        // A kind is one letter: anything longer before the first tab is not a record of ours.
        if (field != 1 && !(field == std::string_view::npos && line.size() == 1)) continue;
        while (field != std::string_view::npos) {
            size_t next = line.find('\t', field + 1);
            std::string_view part =
                line.substr(field + 1, next == std::string_view::npos ? std::string_view::npos
                                                                      : next - field - 1);
            fields.push_back(FromUtf8(Unescape(part)));
            field = next;
        }
        if (auto record = CLogRecord::FromFields(line[0], std::move(fields)))
            log.Add(std::move(*record));
    }
    return log;
}

}  // namespace velkan::install
