// Spreads a setup program over files of at most a given size in the program's own folder, as if
// each were a removable disk of that size, inserted without asking: the program is the first
// piece and its continuation files (".D01", ...) the others. For authors who must split a large
// setup program for upload limits or media. The continuation files are written under temporary
// names and put in place with the program when the build completes (leftover pieces of an
// earlier, longer build are removed then); a build that stops leaves the earlier program and its
// pieces as they were.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/builder/IDiskHost.h"

namespace velkan {

class CSpanDiskHost : public IDiskHost {
public:
    // files: the file system the pieces go to; its prompts are never used.
    CSpanDiskHost(IDiskHost& files, std::string programPath, uint64_t pieceSize);
    // Removes the continuation files not put in place.
    ~CSpanDiskHost() override;
    CSpanDiskHost(const CSpanDiskHost&) = delete;
    CSpanDiskHost& operator=(const CSpanDiskHost&) = delete;

    bool IsRemovable(const std::string&) override { return true; }
    bool WritesInPlace(const std::string&) override { return false; }
    // The room left in the piece written last, less the 4 bytes of its chunk length, in whole
    // kilobytes: when it suffices, the rest of the program fits.
    std::optional<DiskFreeSpace> GetFreeSpace(const std::string& root) override;
    // A file that takes at most pieceSize bytes: a direct write beyond stops there as on a full
    // disk; any other write beyond fails.
    std::unique_ptr<IDiskFile> CreateFile(const std::string& path) override;
    // Each piece is a fresh "disk": other files beside it are no concern.
    std::vector<std::string> ListDirectory(const std::string&) override { return {}; }
    void DeleteFile(const std::string& path) override;
    // Puts the continuation files in place, then the program.
    void ReplaceFile(const std::string& from, const std::string& to) override;

    bool AskInsertDisk(int) override { return true; }
    void NotifyDiskHoldsFiles() override {}
    // A piece that cannot be written fails the build with the reason: there is no other disk.
    bool AskRetryDisk(const std::string& error, int diskNumber) override;

private:
    struct Staged {
        std::string path;       // the continuation file's name
        std::string temporary;  // where it is being written
        int guard = -1;         // its entry in the interrupt cleanup
    };
    void Unstage(size_t index, bool remove);

    IDiskHost& m_files;
    std::string m_programPath;
    uint64_t m_pieceSize;
    std::vector<Staged> m_staged;
    // The bytes held by the piece created last, shared with its file.
    std::shared_ptr<uint64_t> m_lastExtent;
};

}  // namespace velkan
