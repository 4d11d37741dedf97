// How a name read from a setup program (Windows-1252 bytes, untrusted) appears in every message:
// UTF-8 in double quotes, with quotes, backslashes and control characters escaped, so no byte of
// a name can move the cursor, change colours or fake another line on the reader's terminal.
#pragma once

#include <cstddef>
#include <string>

namespace velkan {

std::string ShownName(const std::string& cp1252);

// "version V entry E ("PATH")": how every message names a file table entry, counting from 1.
std::string DescribeEntry(size_t version, size_t entry, const std::string& cp1252Path);

}  // namespace velkan
