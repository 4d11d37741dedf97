// Wizard text files: all texts of a version as a line-oriented 8-bit text file, for translation
// and for the language templates. Each slot is a marker line "*PPTT*" (page and text number, two
// digits each), the text's lines, and one empty line; lines end with CR LF.
#pragma once

#include <string>
#include <vector>

namespace velkan {

class IByteSink;
class IByteSource;

// The file as bytes. Throws std::length_error when a page or text number does not fit in the
// marker's two digits (never for catalogue-shaped texts).
std::string FormatTextsFile(const std::vector<std::vector<std::string>>& texts);
void WriteTextsFile(const std::vector<std::vector<std::string>>& texts, IByteSink& sink);
// Replaces the file through a temporary file and a rename; file errors throw CFileException
// naming the path and leave the previous file as it was.
void WriteTextsFile(const std::vector<std::vector<std::string>>& texts, const std::string& path);

// Reads a texts file into texts: each marker that names an existing slot replaces that slot's
// text with the lines up to the next marker, less the one empty line that ends each text, so
// what FormatTextsFile writes reads back exactly; other slots keep theirs. The shape of texts never
// changes. The whole file is read before anything is replaced, so a failure (thrown as
// CFileException, naming the path for the path overload) leaves texts as they were. A file that
// starts with a byte-order mark (UTF-8 or UTF-16) or holds a 0 byte is refused.
void ReadTextsFile(std::vector<std::vector<std::string>>& texts, IByteSource& source);
void ReadTextsFile(std::vector<std::vector<std::string>>& texts, const std::string& path);

// Longest line the reader takes at once; the rest of a longer line is read as the next line.
constexpr size_t kTextsFileMaxLine = 32766;

}  // namespace velkan
