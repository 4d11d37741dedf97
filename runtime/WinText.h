// Text conversions at the runtime's boundary with Windows: the package holds 8-bit strings in
// Windows-1252; Windows calls take UTF-16; logs and messages are UTF-8.
#pragma once

#include <string>

namespace velkan::runtime {

// Windows-1252 bytes to UTF-16 (every byte has a character, so nothing is lost).
std::wstring FromPackage(const std::string& text);
// UTF-16 to Windows-1252 (a character it cannot hold becomes '?'), for bytes the package's
// texts are written as.
std::string ToPackage(const std::wstring& text);
// UTF-16 to UTF-8, for logs and messages.
std::string ToUtf8(const std::wstring& text);
// UTF-8 to UTF-16.
std::wstring FromUtf8(const std::string& text);
// A number in decimal (std::to_wstring would link a wide printf engine).
std::wstring DecimalW(unsigned long long value);
// The message of a Windows error code, without the trailing line break.
std::string SystemMessage(unsigned long code);

}  // namespace velkan::runtime
