#include "core/builder/CSpanDiskHost.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>

#include "core/package/ContinuationFileName.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/InterruptCleanup.h"
#include "core/platform/PathParts.h"
#include "core/stream/CFileException.h"

namespace velkan {

namespace {

// The largest free space reported, in kilobyte clusters: the spanning decision multiplies it by
// 4 in 32 bits. Pieces that large never cut a data stream of at most 4 GB.
constexpr uint32_t kMaxClusters = (1u << 30) - 1;
constexpr uint32_t kClusterBytes = 1024;

// A piece: at most size bytes of the file it wraps.
class CPieceFile : public IDiskFile {
public:
    CPieceFile(std::unique_ptr<IDiskFile> file, std::string path, uint64_t size,
               std::shared_ptr<uint64_t> extent)
        : m_file(std::move(file)),
          m_path(std::move(path)),
          m_size(size),
          m_extent(std::move(extent))
    {
        *m_extent = 0;
    }

    void Write(const void* data, size_t size) override
    {
        const uint64_t position = m_file->GetPosition();
        if (position > m_size || size > m_size - position) {
            throw CFileException(m_path, "more than a piece of " + std::to_string(m_size) +
                                             " bytes is needed before the packed files begin");
        }
        m_file->Write(data, size);
        Grow(position + size);
    }

    DirectResult WriteDirect(const void* data, size_t size) override
    {
        const uint64_t position = m_file->GetPosition();
        const uint64_t room = position < m_size ? m_size - position : 0;
        const size_t take = static_cast<size_t>(std::min<uint64_t>(size, room));
        DirectResult r = m_file->WriteDirect(data, take);
        Grow(position + r.written);
        if (r.diskFull) {
            // The real disk is full: that is no piece boundary but a failure.
            r.diskFull = false;
            r.error = ENOSPC;
            r.message = std::strerror(ENOSPC);
        } else if (r.error == 0 && r.written == take && take < size) {
            r.diskFull = true;
        }
        return r;
    }

    uint64_t GetPosition() const override { return m_file->GetPosition(); }
    void Seek(uint64_t position) override { m_file->Seek(position); }
    void SeekToEnd() override { m_file->SeekToEnd(); }
    void Close() override { m_file->Close(); }

private:
    void Grow(uint64_t end) { *m_extent = std::max(*m_extent, end); }

    std::unique_ptr<IDiskFile> m_file;
    std::string m_path;
    uint64_t m_size;
    std::shared_ptr<uint64_t> m_extent;
};

}  // namespace

CSpanDiskHost::CSpanDiskHost(IDiskHost& files, std::string programPath, uint64_t pieceSize)
    : m_files(files),
      m_programPath(std::move(programPath)),
      m_pieceSize(pieceSize),
      m_lastExtent(std::make_shared<uint64_t>(0))
{
}

CSpanDiskHost::~CSpanDiskHost()
{
    while (!m_staged.empty()) Unstage(m_staged.size() - 1, true);
}

std::optional<DiskFreeSpace> CSpanDiskHost::GetFreeSpace(const std::string&)
{
    const uint64_t used = *m_lastExtent + 4;
    const uint64_t free = used < m_pieceSize ? m_pieceSize - used : 0;
    return DiskFreeSpace{kClusterBytes, static_cast<uint32_t>(std::min<uint64_t>(
                                            free / kClusterBytes, kMaxClusters))};
}

std::unique_ptr<IDiskFile> CSpanDiskHost::CreateFile(const std::string& path)
{
    std::unique_ptr<IDiskFile> file;
    bool continuation = false;
    for (size_t n = 1; n <= m_staged.size() + 1 && !continuation; ++n) {
        continuation = path == ContinuationFileName(m_programPath, static_cast<int>(n));
    }
    if (!continuation) {
        file = m_files.CreateFile(path);
    } else {
        auto found = std::find_if(m_staged.begin(), m_staged.end(),
                                  [&](const Staged& s) { return s.path == path; });
        if (found == m_staged.end()) {
            std::string temporary = TemporaryNameBeside(path);
            found = m_staged.insert(m_staged.end(),
                                    Staged{path, temporary, RegisterTempPath(temporary, false)});
        }
        file = m_files.CreateFile(found->temporary);
    }
    m_lastExtent = std::make_shared<uint64_t>(0);
    // The program's own piece is written under a temporary name; errors name the program.
    return std::make_unique<CPieceFile>(std::move(file), continuation ? path : m_programPath,
                                        m_pieceSize, m_lastExtent);
}

void CSpanDiskHost::Unstage(size_t index, bool remove)
{
    if (remove) m_files.DeleteFile(m_staged[index].temporary);
    UnregisterTempPath(m_staged[index].guard);
    m_staged.erase(m_staged.begin() + static_cast<std::ptrdiff_t>(index));
}

void CSpanDiskHost::DeleteFile(const std::string& path)
{
    for (size_t i = 0; i < m_staged.size(); ++i) {
        if (m_staged[i].path == path) return Unstage(i, true);
    }
    m_files.DeleteFile(path);
}

void CSpanDiskHost::ReplaceFile(const std::string& from, const std::string& to)
{
    const int pieces = static_cast<int>(m_staged.size());
    while (!m_staged.empty()) {
        m_files.ReplaceFile(m_staged.front().temporary, m_staged.front().path);
        Unstage(0, false);
    }
    // Pieces of an earlier build that went further would read as part of this one's set.
    std::vector<std::string> names = m_files.ListDirectory(DirectoryOf(to));
    std::set<std::string> present(names.begin(), names.end());
    for (int n = pieces + 1;; ++n) {
        std::string stale = ContinuationFileName(to, n);
        if (!present.count(FileNameOf(stale))) break;
        m_files.DeleteFile(stale);
    }
    m_files.ReplaceFile(from, to);
}

bool CSpanDiskHost::AskRetryDisk(const std::string& error, int diskNumber)
{
    const std::string path = ContinuationFileName(m_programPath, diskNumber - 1);
    throw CFileException(error.rfind(path, 0) == 0 ? std::string() : path, error);
}

}  // namespace velkan
