// The error of a setup program that cannot be read: what is wrong and where (a section, an
// entry, an offset), or a file that fails its checksum. An error of one entry carries its place
// (file, version, entry, path) and the problem apart, and its message is built from them in one
// way: "FILE: version V entry E ("PATH"): PROBLEM", UTF-8, counting from 1.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>

#include "core/package/ShownName.h"
#include "core/stream/CError.h"
#include "core/stream/JoinText.h"

namespace velkan {

class CPackageException : public CError {
public:
    explicit CPackageException(const std::string& what) : CError(what), m_problem(what) {}
    // The message joined from pieces (JoinText).
    explicit CPackageException(std::initializer_list<TextPiece> what);
    // An error of entry (version, entry) whose path is cp1252Path, in the program named file
    // (empty: named by whoever passes the error on).
    CPackageException(const std::string& file, size_t version, size_t entry,
                      const std::string& cp1252Path, const std::string& problem)
        : CError((file.empty() ? "" : file + ": ") + DescribeEntry(version, entry, cp1252Path) +
                 ": " + problem),
          m_file(file),
          m_version(version),
          m_entry(entry),
          m_problem(problem)
    {
    }

    const std::string& File() const { return m_file; }
    std::optional<size_t> Version() const { return m_version; }  // counting from 0
    std::optional<size_t> Entry() const { return m_entry; }
    const std::string& Problem() const { return m_problem; }

private:
    std::string m_file;
    std::optional<size_t> m_version;
    std::optional<size_t> m_entry;
    std::string m_problem;
};

}  // namespace velkan
