// Random read access to one file of a setup program (the program itself or a continuation file).
// The reader reaches files only through this interface, so it runs the same on any system and
// can read a program held in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace velkan {

class IPackageInput {
public:
    virtual ~IPackageInput() = default;
    virtual uint64_t GetLength() const = 0;
    // Reads exactly size bytes at position; throws CPackageException or CFileException when
    // they are not all there.
    virtual void ReadAt(uint64_t position, void* buffer, size_t size) = 0;
    // The name used in messages.
    virtual std::string GetName() const = 0;
};

}  // namespace velkan
