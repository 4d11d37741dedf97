// The install log the setup program leaves beside the uninstaller: one line per change it made,
// in order, so the uninstaller can undo exactly those changes (in reverse order) and nothing
// else. UTF-8 text; fields separated by tabs, with '%', tab, CR and LF escaped as %XX.
//
// There is one log per uninstaller, that is per product and place: a later run into the same
// place (a repair, another version, an upgrade) merges its changes into the log it finds, so the
// uninstall removes what every run made. A change made again keeps its first line, where the
// value from before the product was installed is kept.
//
//   P dir                      the installation directory (first line)
//   D dir                      directory created
//   F path                     file installed
//   S path                     shared file whose usage count was incremented
//   O path  value-name [S]     font installed and registered (S: its usage count was incremented)
//   X path                     file registered as an OCX
//   L path                     shell link created
//   I file  section  entry new [earlier ours]
//                              INI entry written (new 1: the file did not exist before; earlier:
//                              "-" none, "=text" the entry's value before; ours: what we wrote)
//   R root  key  name [earlier ours]
//                              registry value written (root 0..3; earlier: "-" none, "" unknown,
//                              else TYPE:HEXBYTES; ours: the string we wrote)
//   K root  key                registry key created
//   U root  key                entry in the installed-programs list
#pragma once

#include <string>
#include <vector>

namespace velkan::runtime {

class CInstallRecord {
public:
    struct Item {
        char kind = 0;
        std::vector<std::wstring> fields;
    };

    void Add(char kind, std::vector<std::wstring> fields);
    const std::vector<Item>& Items() const { return m_items; }
    void Clear() { m_items.clear(); }

    // Whether two lines name the same thing (path, INI entry, registry value or key; names
    // compared as Windows does, without case).
    static bool SameThing(const Item& a, const Item& b);
    // The line of this log naming the same thing as item, or null.
    const Item* Find(const Item& item) const;
    // Adds a later run's lines: one naming something already here updates what we wrote and
    // keeps its place and earlier value; the others are appended in their order.
    void Merge(const CInstallRecord& later);

    // Writes the log; returns false when the file cannot be written.
    bool Save(const std::wstring& path) const;
    // Reads a log; false when the file is missing or not a log of ours. Lines that do not parse
    // are skipped.
    bool Load(const std::wstring& path);

private:
    std::vector<Item> m_items;
};

}  // namespace velkan::runtime
