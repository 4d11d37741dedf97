// The install log the setup program leaves beside the uninstaller: one line per change it made,
// in order, so the uninstaller can undo exactly those changes (in reverse order) and nothing
// else. UTF-8 text; fields separated by tabs, with '%', tab, CR and LF escaped as %XX.
//
//   P dir                      the installation directory (first line)
//   D dir                      directory created
//   F path                     file installed
//   S path                     shared file whose usage count was incremented
//   O path  value-name [S]     font installed and registered (S: its usage count was incremented)
//   X path                     file registered as an OCX
//   L path                     shell link created
//   I file  section  entry new INI entry written (new 1: the file did not exist before)
//   R root  key  name          registry value written (root 0..3)
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

    // Writes the log; returns false when the file cannot be written.
    bool Save(const std::wstring& path) const;
    // Reads a log; false when the file is missing or not a log of ours. Lines that do not parse
    // are skipped.
    bool Load(const std::wstring& path);

private:
    std::vector<Item> m_items;
};

}  // namespace velkan::runtime
