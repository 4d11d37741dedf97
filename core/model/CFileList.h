// An ordered list of files keyed by relative path, compared without regard to case: a version's
// file list, and the build's list of distinct paths.
#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "core/model/CFileItem.h"

namespace velkan {

class IScanHost;

class CFileList : private std::vector<CFileItem> {
    using Base = std::vector<CFileItem>;

public:
    using Base::at;
    using Base::back;
    using Base::begin;
    using Base::clear;
    using Base::const_iterator;
    using Base::empty;
    using Base::end;
    using Base::erase;
    using Base::front;
    using Base::iterator;
    using Base::operator[];
    using Base::push_back;
    using Base::size;

    const std::vector<CFileItem>& Items() const { return *this; }

    // The first item whose path equals path without regard to case, or null.
    const CFileItem* FindByPath(const std::string& path) const;
    CFileItem* FindByPath(const std::string& path);
    int IndexOf(const std::string& path) const;

    // Appends a copy of item unless its path is already listed (then returns -1), else returns
    // the new index. With a host, first shows "Press ESC to cancel : PATH" and, when the host
    // asks to cancel, empties the whole list and throws CUserAbort.
    int AddUnique(const CFileItem& item, IScanHost* host = nullptr);

    // Appends the files found under dir (a host path inside root, both ending with '/'); each
    // file's path is its full path without root, with backslashes, in the project code page.
    // Sub-directories (not links to them) are scanned depth-first when recursive is set. Only
    // regular files are listed: FIFOs, sockets, devices and dangling links are skipped, and so is
    // a link to a file outside root unless followOutsideLinks is set; each skip returns a note
    // naming the file. Throws CFileException for a directory that cannot be read, or a name the
    // project code page cannot hold, that holds a backslash or that Windows refuses.
    std::vector<std::string> ScanDirectory(const std::string& root, const std::string& dir,
                                           bool recursive, IScanHost* host,
                                           bool followOutsideLinks = false);

    // Makes the list exactly the files found under root (a host path ending with '/'), in scan
    // order. A file whose path was listed before (any case) keeps the old item whole: its path
    // spelling, options, Start-menu and shortcut fields. Files no longer found are dropped with
    // their options. A scan that stops (cancelled, an unreadable directory or name) leaves the
    // list exactly as it was and rethrows, so a stop never costs the author the options.
    // Returns the notes of ScanDirectory: the files left out, for the author to see.
    std::vector<std::string> Rescan(const std::string& root, bool recursive, IScanHost* host);
    // The merge step of Rescan: the list becomes found, each item carrying the old fields of the
    // same path.
    void ReplaceKeepingOptions(const CFileList& found);

    bool operator==(const CFileList& other) const
    {
        return static_cast<const Base&>(*this) == static_cast<const Base&>(other);
    }

    // The listed paths upper-cased as the target compares them: two paths are one file exactly
    // when their keys are equal. A scan or a merge looks paths up here rather than walking the
    // list for each file, which made a tree of thousands of files cost millions of compares.
    using PathKeys = std::unordered_set<std::string>;
    PathKeys Keys() const;

private:
    void ShowScanStatus(const CFileItem& item, IScanHost* host);
    int AddUnique(const CFileItem& item, IScanHost* host, PathKeys& keys);
    std::vector<std::string> ScanInto(const std::string& root, const std::string& dir,
                                      bool recursive, IScanHost* host, bool followOutsideLinks,
                                      PathKeys& keys);
};

}  // namespace velkan
