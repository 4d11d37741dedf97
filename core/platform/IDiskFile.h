// A file being written on the target disk of a build: the install program or a continuation file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace velkan {

class IDiskFile {
public:
    virtual ~IDiskFile() = default;

    // Writes everything or throws CFileException naming the file (a full disk included).
    virtual void Write(const void* data, size_t size) = 0;

    struct DirectResult {
        size_t written = 0;
        bool diskFull = false;  // the write stopped because the medium is full
        int error = 0;          // another system error (0 when none)
        std::string message;    // the system's text for error
    };
    // Writes as much as the medium takes, without raising: what spanning needs to cut the stream.
    virtual DirectResult WriteDirect(const void* data, size_t size) = 0;

    virtual uint64_t GetPosition() const = 0;
    virtual void Seek(uint64_t position) = 0;
    virtual void SeekToEnd() = 0;
    // Closes, reporting a failed flush as a CFileException.
    virtual void Close() = 0;
};

}  // namespace velkan
