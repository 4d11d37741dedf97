// Reading follows the rules of a C text-mode line reader, because files written by earlier
// builders and hand-edited translations rely on them: CR LF is one line end, a lone CR is an
// ordinary character, and a line longer than the reader's buffer arrives in pieces.
#include "core/wizard/WizardTextFile.h"

#include <cstdio>
#include <stdexcept>
#include <utility>

#include "core/platform/AtomicFile.h"
#include "core/stream/CFile.h"
#include "core/stream/CFileException.h"
#include "core/stream/IByteSink.h"
#include "core/stream/IByteSource.h"

namespace velkan {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Line reader over a byte source with CR LF folded into LF and the line length limit.
class LineReader {
public:
    explicit LineReader(IByteSource& source) : m_source(source) {}

    // Next line without its line feed; false at the end of the input. A line of exactly the
    // limit ends at its own line feed, so it does not bring an empty line with it.
    bool ReadLine(std::string& line)
    {
        line.clear();
        if (m_pending < 0 && Peek() < 0) return false;
        for (;;) {
            int c = m_pending >= 0 ? std::exchange(m_pending, -1) : Get();
            if (c < 0 || c == '\n') break;
            if (line.size() == kTextsFileMaxLine) {
                m_pending = c;  // the first character of the next piece
                break;
            }
            line += static_cast<char>(c);
        }
        return true;
    }

private:
    int Peek()
    {
        if (m_pos == m_length) {
            m_length = m_source.Read(m_buffer, sizeof m_buffer);
            m_pos = 0;
            if (m_length == 0) return -1;
        }
        return m_buffer[m_pos];
    }

    int Get()
    {
        int c = Peek();
        if (c < 0) return c;
        ++m_pos;
        if (c == '\r' && Peek() == '\n') {
            ++m_pos;
            return '\n';
        }
        return c;
    }

    IByteSource& m_source;
    unsigned char m_buffer[16384];
    size_t m_pos = 0;
    size_t m_length = 0;
    int m_pending = -1;
};

// A text as the writer left it: the writer ends every text with one empty line, which is the
// only line dropped, so empty lines inside or at the end of a text come back as written. The
// lines were joined with line feeds as they came, lines counts them.
void EndText(std::string& text, size_t lines, bool lastEmpty)
{
    if (lines > 1 && lastEmpty) text.pop_back();  // the line feed before the closing empty line
}

// Texts files are 8-bit Windows-1252: a file saved as UTF-8 with a signature or as UTF-16 would
// be read as garbage, or as nothing at all, without a word.
void RefuseByteOrderMark(const std::string& firstLine)
{
    auto starts = [&](const char* mark) { return firstLine.rfind(mark, 0) == 0; };
    if (starts("\xEF\xBB\xBF")) {
        throw CFileException("",
                             "the file starts with a UTF-8 byte-order mark: texts files are "
                             "8-bit Windows-1252 text");
    }
    if (starts("\xFF\xFE") || starts("\xFE\xFF")) {
        throw CFileException("",
                             "the file is UTF-16 text: texts files are 8-bit Windows-1252 text");
    }
}

}  // namespace

std::string FormatTextsFile(const std::vector<std::vector<std::string>>& texts)
{
    if (texts.size() > 100)
        throw std::length_error("too many wizard text pages for the file format");
    std::string out;
    for (size_t page = 0; page < texts.size(); ++page) {
        if (texts[page].size() > 100) {
            throw std::length_error("too many wizard texts on one page for the file format");
        }
        for (size_t text = 0; text < texts[page].size(); ++text) {
            char marker[16];
            std::snprintf(marker, sizeof marker, "*%2.2d%2.2d*\r\n", static_cast<int>(page),
                          static_cast<int>(text));
            out += marker;
            // Text mode writing: every LF gets a CR before it, also after a CR the text holds.
            for (char c : texts[page][text]) {
                if (c == '\n') out += '\r';
                out += c;
            }
            out += "\r\n\r\n";
        }
    }
    return out;
}

void WriteTextsFile(const std::vector<std::vector<std::string>>& texts, IByteSink& sink)
{
    std::string bytes = FormatTextsFile(texts);
    sink.Write(bytes.data(), bytes.size());
}

void WriteTextsFile(const std::vector<std::vector<std::string>>& texts, const std::string& path)
{
    std::string bytes = FormatTextsFile(texts);
    WriteFileAtomically(path, std::vector<unsigned char>(bytes.begin(), bytes.end()));
}

void ReadTextsFile(std::vector<std::vector<std::string>>& texts, IByteSource& source)
{
    std::vector<std::vector<std::string>> result = texts;
    std::string* current = nullptr;
    size_t lines = 0;
    bool lastEmpty = false;
    LineReader reader(source);
    std::string line;
    bool first = true;
    while (reader.ReadLine(line)) {
        if (first) {
            first = false;
            RefuseByteOrderMark(line);
        }
        if (line.find('\0') != std::string::npos) {
            throw CFileException("",
                                 "a 0 byte in the texts (a UTF-16 file?): texts files are "
                                 "8-bit Windows-1252 text");
        }
        if (line.size() >= 6 && line[0] == '*' && IsDigit(line[1]) && IsDigit(line[2]) &&
            IsDigit(line[3]) && IsDigit(line[4]) && line[5] == '*') {
            if (current) EndText(*current, lines, lastEmpty);
            size_t page = static_cast<size_t>((line[1] - '0') * 10 + (line[2] - '0'));
            size_t text = static_cast<size_t>((line[3] - '0') * 10 + (line[4] - '0'));
            current = nullptr;
            if (page < result.size() && text < result[page].size()) {
                current = &result[page][text];
                current->clear();
                lines = 0;
            }
            continue;
        }
        if (current) {
            if (lines++ > 0) *current += '\n';
            *current += line;
            lastEmpty = line.empty();
        }
    }
    if (current) EndText(*current, lines, lastEmpty);
    texts.swap(result);
}

void ReadTextsFile(std::vector<std::vector<std::string>>& texts, const std::string& path)
{
    CFile file(path, CFile::Mode::Read);
    try {
        ReadTextsFile(texts, file);
    } catch (const CFileException& e) {
        if (!e.Path().empty()) throw;
        throw CFileException(path, e.what());
    }
}

}  // namespace velkan
