#include "core/builder/CDataSectionWriter.h"

#include <vector>

#include "core/builder/StoreLimits.h"
#include "core/model/CUserAbort.h"
#include "core/model/PathCompare.h"
#include "core/package/ContinuationFileName.h"
#include "core/package/PackageFormat.h"
#include "core/platform/PathParts.h"
#include "core/stream/CFileException.h"
#include "core/stream/LittleEndian.h"

namespace velkan {

namespace {

// The drive root of a path ("A:\" of "A:\setup.exe"); other paths are their own root, and the
// host finds the mount that holds them.
std::string RootOf(const std::string& path)
{
    if (path.rfind("\\\\", 0) != 0 && path.size() >= 2 && path[1] == ':') return path.substr(0, 3);
    return path;
}

}  // namespace

CDataSectionWriter::CDataSectionWriter(IDiskHost& host, std::string programPath)
    : m_host(host), m_programPath(std::move(programPath)), m_targetPath(m_programPath)
{
}

bool CDataSectionWriter::WritesInPlace() const
{
    return m_host.WritesInPlace(RootOf(m_programPath));
}

bool CDataSectionWriter::DecideSpanning(uint64_t dataLength)
{
    std::string root = RootOf(m_programPath);
    m_spanning = false;
    if (!m_host.IsRemovable(root)) return false;
    auto space = m_host.GetFreeSpace(root);
    if (!space) return false;
    // Kilobytes as the target computes them, in 32-bit arithmetic.
    uint32_t freeKb = ((space->bytesPerCluster / 256u) * space->freeClusters) / 4u;
    uint64_t neededKb = (dataLength + 1031) / 1024;
    m_spanning = freeKb < neededKb;
    return m_spanning;
}

void CDataSectionWriter::PatchChunkLength(IDiskFile& file)
{
    file.SeekToEnd();
    uint64_t end = file.GetPosition();
    unsigned char length[4];
    StoreLE32(length, static_cast<uint32_t>(end - m_chunkStart - 4));
    file.Seek(m_chunkStart);
    file.Write(length, 4);
    file.SeekToEnd();
}

std::unique_ptr<IDiskFile> CDataSectionWriter::Write(std::unique_ptr<IDiskFile> file,
                                                     IByteSource& data, uint64_t length)
{
    CheckDataStreamLength(m_programPath, length);
    unsigned char header[12];
    StoreLE16(header, package::kDataSection);
    header[2] = header[3] = 0;
    StoreLE32(header + 4, static_cast<uint32_t>(length));
    StoreLE32(header + 8, 0);
    file->Write(header, 8);
    m_chunkStart = file->GetPosition();
    file->Write(header + 8, 4);
    if (length == 0) return file;

    std::vector<unsigned char> piece(kPieceSize);
    uint64_t left = length;
    while (left > 0) {
        size_t want = static_cast<size_t>(std::min<uint64_t>(left, kPieceSize));
        size_t got = 0;
        while (got < want) {
            size_t n = data.Read(piece.data() + got, want - got);
            if (n == 0) throw CFileException(m_programPath, "the data stream ended early");
            got += n;
        }
        left -= want;
        if (!m_spanning) {
            file->Write(piece.data(), want);
            continue;
        }
        IDiskFile::DirectResult r = file->WriteDirect(piece.data(), want);
        if (r.written < want && !r.diskFull && r.error != 0) {
            throw CFileException(m_targetPath, r.message);
        }
        if (r.written < want) {
            file = ChangeDisk(std::move(file), piece.data() + r.written, want - r.written);
        }
    }
    PatchChunkLength(*file);
    return file;
}

std::unique_ptr<IDiskFile> CDataSectionWriter::ChangeDisk(std::unique_ptr<IDiskFile> full,
                                                          const unsigned char* rest,
                                                          size_t restSize)
{
    PatchChunkLength(*full);
    full->Close();
    full.reset();
    ++m_continuations;
    m_targetPath = ContinuationFileName(m_programPath, m_continuations);
    const int diskNumber = m_continuations + 1;
    if (!m_host.AskInsertDisk(diskNumber)) throw CUserAbort();
    for (;;) {
        std::string self = FileNameOf(m_targetPath);
        for (const std::string& name : m_host.ListDirectory(DirectoryOf(m_targetPath))) {
            if (!EqualsNoCase(name, self)) {
                m_host.NotifyDiskHoldsFiles();
                break;
            }
        }
        std::string error;
        if (auto next = BeginContinuation(m_targetPath, rest, restSize, error)) return next;
        if (!m_host.AskRetryDisk(error, diskNumber)) throw CUserAbort();
    }
}

std::unique_ptr<IDiskFile> CDataSectionWriter::BeginContinuation(const std::string& path,
                                                                 const unsigned char* rest,
                                                                 size_t restSize,
                                                                 std::string& error)
{
    std::unique_ptr<IDiskFile> file;
    try {
        file = m_host.CreateFile(path);
    } catch (const CFileException& e) {
        error = std::string(e.what()).substr(0, 510);
        return nullptr;
    }
    m_chunkStart = 0;
    const unsigned char placeholder[4] = {0, 0, 0, 0};
    for (auto [bytes, size] : {std::pair{placeholder, size_t(4)}, std::pair{rest, restSize}}) {
        IDiskFile::DirectResult r = file->WriteDirect(bytes, size);
        if (r.written == size) continue;
        // A short write without an error is a full disk, as the target reports it.
        error = r.error != 0 && !r.message.empty() ? r.message
                                                   : "There is not enough space on the disk.";
        try {
            file->Close();
        } catch (const CFileException&) {
        }
        m_host.DeleteFile(path);
        return nullptr;
    }
    return file;
}

}  // namespace velkan
