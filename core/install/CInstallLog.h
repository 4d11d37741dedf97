// The install log the setup program leaves beside the uninstaller: its changes in the order it
// made them (CLogRecord), so the uninstaller undoes exactly those, last first, and nothing else.
// As a file: the header line, then one record a line; UTF-8, fields separated by tabs, with '%',
// tab, CR and LF escaped as %XX; lines end with CR LF.
//
// There is one log per uninstaller, that is per product and place: a later run into the same
// place (a repair, another version, an upgrade) merges its changes into the log it finds, so the
// uninstall removes what every run made. A change made again keeps its first record, and with it
// the value from before the product was installed.
//
// A later kind of line (a record this reader does not know) is skipped, so a log can gain kinds
// without an older uninstaller misreading it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/install/CLogRecord.h"

namespace velkan::install {

class CInstallLog {
public:
    static constexpr const char* kHeader = "Velkan install log 1";
    // The longest log read back: a log is a few lines per installed file.
    static constexpr size_t kMaxSize = 64u << 20;

    void Add(CLogRecord record) { m_records.push_back(std::move(record)); }
    const std::vector<CLogRecord>& Records() const { return m_records; }
    bool Empty() const { return m_records.empty(); }
    void Clear() { m_records.clear(); }

    // The record naming the same thing as record, or null.
    const CLogRecord* Find(const CLogRecord& record) const;
    // The installation directory (the first record), or null when the log does not start with it.
    const std::wstring* PlaceDir() const;
    // The product identity, or null when the log names none.
    const std::wstring* ProductId() const;
    // Whether the product counted the file as used (a shared file or a counted font).
    bool CountedFile(std::wstring_view path) const;

    // Adds a later run's records: one naming something already here updates what we wrote and
    // keeps its place and earlier value; the others are appended in their order.
    void Merge(const CInstallLog& later);

    std::string ToText() const;
    // Reads a log; nullopt when the text is not a log of ours (no header, or larger than
    // kMaxSize). Lines that do not parse are skipped.
    static std::optional<CInstallLog> FromText(std::string_view text);

private:
    std::vector<CLogRecord> m_records;
};

}  // namespace velkan::install
