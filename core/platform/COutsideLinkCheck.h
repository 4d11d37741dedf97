// Whether a path in a source folder reaches, through links, a file outside that folder. Such a
// file is the link's target's, not the tree's: packing it silently could put anything the
// author can read (a key, a password file) into a setup program.
#pragma once

#include <string>
#include <unordered_map>

namespace velkan {

class COutsideLinkCheck {
public:
    explicit COutsideLinkCheck(const std::string& folder);

    // True when path (a host path under the folder) resolves, all links followed, to a place
    // outside the folder. A path that does not resolve (missing, dangling) is not outside:
    // reading it fails on its own.
    bool IsOutside(const std::string& path);

private:
    std::string Resolved(const std::string& path);

    std::string m_inside;  // the folder resolved, ending with '/'; empty when it does not resolve
    // Each directory of the paths asked about, resolved once: a tree of thousands of files in a
    // few hundred directories would otherwise resolve every directory once per file.
    std::unordered_map<std::string, std::string> m_dirs;
};

}  // namespace velkan
