// Writes the data section that ends a setup program: its header, then the data stream as one
// chunk, or, when the target is a removable disk too small for it, as a chunk per disk with the
// rest in continuation files (".D01", ...) and a disk change between them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/builder/IDiskHost.h"
#include "core/stream/IByteSource.h"

namespace velkan {

class CDataSectionWriter {
public:
    // The data stream is copied in pieces of this size.
    static constexpr size_t kPieceSize = 32768;

    CDataSectionWriter(IDiskHost& host, std::string programPath);

    // True when the program is written in place on its target (a removable medium, where it may
    // span disks) rather than beside it.
    bool WritesInPlace() const;
    // True when the target is removable and its free space cannot hold the data section.
    bool DecideSpanning(uint64_t dataLength);

    // Writes the section for length bytes of data onto file (the setup program, positioned after
    // its last section). Returns the file that is open at the end (a continuation file after a
    // disk change), which the caller closes. Throws CUserAbort when a disk prompt is cancelled and
    // CFileException for a write error; ContinuationFiles() then tells whether disks were changed.
    std::unique_ptr<IDiskFile> Write(std::unique_ptr<IDiskFile> file, IByteSource& data,
                                     uint64_t length);

    // The continuation files begun so far.
    int ContinuationFiles() const { return m_continuations; }

private:
    void PatchChunkLength(IDiskFile& file);
    // Closes the full file and begins the next continuation file with the rest of the piece.
    std::unique_ptr<IDiskFile> ChangeDisk(std::unique_ptr<IDiskFile> full,
                                          const unsigned char* rest, size_t restSize);
    // Creates the continuation file and writes its placeholder and the rest; empty on failure,
    // with the reason in error.
    std::unique_ptr<IDiskFile> BeginContinuation(const std::string& path, const unsigned char* rest,
                                                 size_t restSize, std::string& error);

    IDiskHost& m_host;
    std::string m_programPath;
    std::string m_targetPath;
    bool m_spanning = false;
    int m_continuations = 0;
    uint64_t m_chunkStart = 0;
};

}  // namespace velkan
