// One growable output of the delta encoder (the command or the literal sub-stream). Small inputs
// keep it in memory; large ones put it in a temporary file written through a 64 KB buffer, so the
// encoder's memory stays bounded whatever the file sizes. Written once, then read back once.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/delta/CDeltaTempFile.h"
#include "core/stream/CFile.h"
#include "core/stream/IByteSource.h"

namespace velkan {

class CDeltaStream {
public:
    CDeltaStream() = default;
    CDeltaStream(const CDeltaStream&) = delete;
    CDeltaStream& operator=(const CDeltaStream&) = delete;

    // Moves the (still empty) stream into a temporary file in dir (empty: the system's). Returns
    // false and stays in memory when the file cannot be created.
    bool UseTempFile(const std::string& dir);
    bool IsFile() const { return m_file != nullptr; }

    void Put(uint8_t byte)
    {
        if (m_file && m_buffer.size() == kFileBufferSize) FlushBuffer();
        m_buffer.push_back(byte);
        ++m_length;
    }
    void Write(const void* data, size_t size);
    uint64_t GetLength() const { return m_length; }

    // Flushes what is pending and returns a reader over the whole stream from its start. The
    // memory form reads the stream's own bytes, which must stay unchanged meanwhile.
    std::unique_ptr<IByteSource> OpenForReading();

    // Drops the contents and the temporary file.
    void Clear();

private:
    static constexpr size_t kFileBufferSize = 65536;
    static constexpr size_t kMemoryGrowth = 1024;

    void FlushBuffer();

    std::vector<uint8_t> m_buffer;  // all bytes (memory form) or the pending ones (file form)
    uint64_t m_length = 0;
    std::unique_ptr<CDeltaTempFile> m_temp;
    std::unique_ptr<CFile> m_file;  // open for writing while the stream is written
};

}  // namespace velkan
