// The version information of a Windows PE file (an .exe, .dll, .ocx...), read by walking its
// resource directory to the RT_VERSION resource: the fixed file and product version words and the
// first entry of its \VarFileInfo\Translation table. Every offset and size is checked against the
// file, so a damaged or hostile file gives no version, never a crash.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/stream/IByteSource.h"

namespace velkan {

struct PeVersionInfo {
    bool hasFixedInfo = false;
    uint32_t fileVersionMS = 0;
    uint32_t fileVersionLS = 0;
    uint32_t productVersionMS = 0;
    uint32_t productVersionLS = 0;
    bool hasTranslation = false;
    uint32_t translation = 0;  // language in the low word, code page in the high word
};

// Reads the version information from a whole file image.
PeVersionInfo ReadPeVersionInfo(const unsigned char* image, size_t size);
// Reads it from a host file; an unreadable file has no version information.
PeVersionInfo ReadPeVersionInfo(const std::string& hostPath);

// Parses a VS_VERSIONINFO resource block (exposed for tests).
PeVersionInfo ParseVersionResource(const unsigned char* data, size_t size);

}  // namespace velkan
