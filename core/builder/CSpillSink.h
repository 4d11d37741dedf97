// The data of one entry, produced before its place in the data stream is known: kept in memory
// up to a limit, then moved into a temporary file, and finally copied where it belongs. The
// limit bounds the memory of a build that prepares several entries at once.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/delta/CDeltaTempFile.h"
#include "core/stream/CFile.h"
#include "core/stream/IByteSink.h"

namespace velkan {

class CSpillSink : public IByteSink {
public:
    // Bytes kept in memory before the data moves to a temporary file in tempDir.
    static constexpr size_t kMemoryLimit = 4u << 20;

    explicit CSpillSink(std::string tempDir) : m_tempDir(std::move(tempDir)) {}
    CSpillSink(const CSpillSink&) = delete;
    CSpillSink& operator=(const CSpillSink&) = delete;

    void Write(const void* data, size_t size) override;
    uint64_t GetPosition() const override { return m_length; }

    // Appends everything written to output, then drops it.
    void MoveTo(IByteSink& output);

private:
    std::string m_tempDir;
    std::vector<uint8_t> m_memory;
    std::unique_ptr<CDeltaTempFile> m_temp;
    std::unique_ptr<CFile> m_file;
    uint64_t m_length = 0;
};

}  // namespace velkan
