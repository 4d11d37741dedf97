#include "core/model/JsonValue.h"

#include <cstdio>
#include <set>

#include "core/model/CJsonException.h"
#include "core/platform/CodePage.h"
#include "core/stream/Utf8.h"

namespace velkan {

JsonValue& JsonValue::Add(JsonValue value)
{
    m_items.push_back(std::move(value));
    return m_items.back();
}

JsonValue& JsonValue::Set(const std::string& key, JsonValue value)
{
    m_members.emplace_back(key, std::move(value));
    return m_members.back().second;
}

namespace {

void AppendQuoted(std::string& out, const std::string& text)
{
    std::string quoted;
    for (char c : text) {
        switch (c) {
        case '"': quoted += "\\\""; break;
        case '\\': quoted += "\\\\"; break;
        case '\n': quoted += "\\n"; break;
        case '\r': quoted += "\\r"; break;
        case '\t': quoted += "\\t"; break;
        default: quoted += c;
        }
    }
    out += '"';
    out += EscapeControls(quoted);
    out += '"';
}

}  // namespace

std::string JsonValue::ScalarText(bool quoteStrings) const
{
    switch (m_type) {
    case Type::Null: return "null";
    case Type::Bool: return m_number ? "true" : "false";
    case Type::Number: return m_bWhole ? std::to_string(m_number) : m_text;
    case Type::String: {
        std::string out;
        if (quoteStrings) {
            AppendQuoted(out, m_text);
        } else {
            out = m_text;
        }
        return out;
    }
    default: return "";
    }
}

void JsonValue::AppendOneLine(std::string& out) const
{
    if (m_type == Type::Array) {
        out += '[';
        for (size_t i = 0; i < m_items.size(); ++i) {
            if (i) out += ", ";
            m_items[i].AppendOneLine(out);
        }
        out += ']';
    } else if (m_type == Type::Object) {
        out += '{';
        for (size_t i = 0; i < m_members.size(); ++i) {
            if (i) out += ", ";
            AppendQuoted(out, m_members[i].first);
            out += ": ";
            m_members[i].second.AppendOneLine(out);
        }
        out += '}';
    } else {
        out += ScalarText(true);
    }
}

void JsonValue::AppendJson(std::string& out, int indent, int depth) const
{
    if (m_bOneLine && indent > 0) {
        AppendOneLine(out);
        return;
    }
    auto newline = [&](int d) {
        if (indent <= 0) return;
        out += '\n';
        out.append(static_cast<size_t>(d * indent), ' ');
    };
    if (m_type == Type::Array) {
        if (m_items.empty()) {
            out += "[]";
            return;
        }
        out += '[';
        for (size_t i = 0; i < m_items.size(); ++i) {
            if (i) out += ',';
            newline(depth + 1);
            m_items[i].AppendJson(out, indent, depth + 1);
        }
        newline(depth);
        out += ']';
    } else if (m_type == Type::Object) {
        if (m_members.empty()) {
            out += "{}";
            return;
        }
        out += '{';
        for (size_t i = 0; i < m_members.size(); ++i) {
            if (i) out += ',';
            newline(depth + 1);
            AppendQuoted(out, m_members[i].first);
            out += indent > 0 ? ": " : ":";
            m_members[i].second.AppendJson(out, indent, depth + 1);
        }
        newline(depth);
        out += '}';
    } else {
        out += ScalarText(true);
    }
}

std::string JsonValue::ToJson(int indent) const
{
    std::string out;
    AppendJson(out, indent, 0);
    out += '\n';
    return out;
}

void JsonValue::AppendText(std::string& out, const std::string& prefix) const
{
    if (m_type == Type::Object) {
        for (const auto& [key, value] : m_members) {
            if (value.IsScalar()) {
                out += prefix + key + ": " + value.ScalarText(true) + "\n";
            } else if ((value.m_type == Type::Array && value.m_items.empty()) ||
                       (value.m_type == Type::Object && value.m_members.empty())) {
                out += prefix + key + ": (none)\n";
            } else if (value.IsNumberArray()) {
                out += prefix + key + ": [";
                for (size_t i = 0; i < value.m_items.size(); ++i) {
                    out += (i ? ", " : "") + value.m_items[i].ScalarText(true);
                }
                out += "]\n";
            } else {
                out += prefix + key + ":\n";
                value.AppendText(out, prefix + "  ");
            }
        }
    } else if (m_type == Type::Array) {
        for (size_t i = 0; i < m_items.size(); ++i) {
            const JsonValue& item = m_items[i];
            // Counted from 1, as velkanc counts versions and entries everywhere.
            std::string label = prefix + "[" + std::to_string(i + 1) + "]";
            if (item.IsScalar()) {
                out += label + " " + item.ScalarText(true) + "\n";
            } else {
                out += label + "\n";
                item.AppendText(out, prefix + "  ");
            }
        }
    } else {
        out += prefix + ScalarText(true) + "\n";
    }
}

std::string JsonValue::ToText() const
{
    std::string out;
    AppendText(out, "");
    return out;
}

// A recursive-descent reader of RFC 8259 JSON. Positions are counted in bytes of the line, from 1.
class CJsonParser {
public:
    explicit CJsonParser(std::string_view text)
        : m_text(text),
          m_budget(JsonValue::kMemoryPerTextByte * text.size() + JsonValue::kMemoryAllowance)
    {
        if (m_text.substr(0, 3) == "\xEF\xBB\xBF") m_pos = 3;
    }

    JsonValue ParseDocument()
    {
        SkipSpace();
        JsonValue value = ParseValue(0);
        SkipSpace();
        if (m_pos < m_text.size()) Fail("text after the end of the JSON value");
        return value;
    }

private:
    [[noreturn]] void Fail(const std::string& what) const
    {
        size_t line = 1;
        size_t lineStart = 0;
        for (size_t i = 0; i < m_pos && i < m_text.size(); ++i) {
            if (m_text[i] == '\n') ++line, lineStart = i + 1;
        }
        throw CJsonException("line " + std::to_string(line) + ", column " +
                             std::to_string(m_pos - lineStart + 1) + ": " + what);
    }

    bool AtEnd() const { return m_pos >= m_text.size(); }
    char Peek() const { return AtEnd() ? '\0' : m_text[m_pos]; }

    void SkipSpace()
    {
        for (;;) {
            while (!AtEnd() &&
                   (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r')) {
                if (Peek() == '\n') ++m_line;
                ++m_pos;
            }
            if (m_text.substr(m_pos, 2) == "//") {
                while (!AtEnd() && Peek() != '\n') ++m_pos;
            } else if (m_text.substr(m_pos, 2) == "/*") {
                size_t end = m_text.find("*/", m_pos + 2);
                if (end == std::string_view::npos) Fail("a comment that is never closed");
                for (size_t i = m_pos; i < end; ++i) {
                    if (m_text[i] == '\n') ++m_line;
                }
                m_pos = end + 2;
            } else {
                return;
            }
        }
    }

    void Expect(char c, const char* what)
    {
        if (Peek() != c)
            Fail(AtEnd() ? std::string("the text ends early: ") + what + " expected"
                         : std::string(what) + " expected");
        ++m_pos;
    }

    // Counts the memory the tree takes, so text of many tiny values cannot cost gigabytes.
    void Charge(size_t bytes)
    {
        if (bytes > m_budget) {
            Fail("the values take more memory than text of " + std::to_string(m_text.size()) +
                 " bytes may (out of proportion to it)");
        }
        m_budget -= bytes;
    }

    JsonValue ParseValue(int depth)
    {
        int line = m_line;
        JsonValue value = ParseBareValue(depth);
        value.m_line = line;
        return value;
    }

    JsonValue ParseBareValue(int depth)
    {
        if (AtEnd()) Fail("the text ends early: a value expected");
        Charge(sizeof(JsonValue));
        char c = Peek();
        if (c == '{' || c == '[') {
            if (depth >= JsonValue::kMaxDepth) Fail("nested too deeply");
            return c == '{' ? ParseObject(depth + 1) : ParseArray(depth + 1);
        }
        if (c == '"') return JsonValue(ParseString());
        if (c == '-' || (c >= '0' && c <= '9')) return ParseNumber();
        for (const char* word : {"true", "false", "null"}) {
            if (m_text.substr(m_pos, std::char_traits<char>::length(word)) == word) {
                m_pos += std::char_traits<char>::length(word);
                return word[0] == 'n' ? JsonValue() : JsonValue(word[0] == 't');
            }
        }
        Fail("a value expected");
    }

    JsonValue ParseObject(int depth)
    {
        JsonValue object = JsonValue::Object();
        std::set<std::string> keys;
        ++m_pos;
        SkipSpace();
        if (Peek() == '}') {
            ++m_pos;
            return object;
        }
        for (;;) {
            SkipSpace();
            if (Peek() == '}' && !object.m_members.empty()) {
                ++m_pos;
                return object;
            }
            if (Peek() != '"')
                Fail(AtEnd() ? "the text ends early: a key expected" : "a key in quotes expected");
            size_t keyPos = m_pos;
            std::string key = ParseString();
            Charge(sizeof(std::pair<std::string, JsonValue>) - sizeof(JsonValue));
            if (!keys.insert(key).second) {
                m_pos = keyPos;
                Fail("the key \"" + key + "\" is given twice");
            }
            SkipSpace();
            Expect(':', "':'");
            SkipSpace();
            object.m_members.emplace_back(std::move(key), ParseValue(depth));
            SkipSpace();
            if (Peek() == ',') {
                ++m_pos;
                continue;
            }
            Expect('}', "',' or '}'");
            return object;
        }
    }

    JsonValue ParseArray(int depth)
    {
        JsonValue array = JsonValue::Array();
        ++m_pos;
        SkipSpace();
        if (Peek() == ']') {
            ++m_pos;
            return array;
        }
        for (;;) {
            SkipSpace();
            if (Peek() == ']' && !array.m_items.empty()) {
                ++m_pos;
                return array;
            }
            array.m_items.push_back(ParseValue(depth));
            SkipSpace();
            if (Peek() == ',') {
                ++m_pos;
                continue;
            }
            Expect(']', "',' or ']'");
            return array;
        }
    }

    JsonValue ParseNumber()
    {
        size_t start = m_pos;
        bool whole = true;
        if (Peek() == '-') ++m_pos;
        auto digits = [&] {
            size_t first = m_pos;
            while (Peek() >= '0' && Peek() <= '9') ++m_pos;
            if (m_pos == first) Fail("a digit expected");
        };
        if (Peek() == '0') {
            ++m_pos;
        } else {
            digits();
        }
        if (Peek() == '.') {
            ++m_pos;
            digits();
            whole = false;
        }
        if (Peek() == 'e' || Peek() == 'E') {
            ++m_pos;
            if (Peek() == '+' || Peek() == '-') ++m_pos;
            digits();
            whole = false;
        }
        JsonValue value;
        value.m_type = JsonValue::Type::Number;
        value.m_text = std::string(m_text.substr(start, m_pos - start));
        if (whole) {
            // Accumulated negatively, so that the most negative 64-bit value fits too.
            bool negative = value.m_text[0] == '-';
            int64_t n = 0;
            for (size_t i = negative ? 1 : 0; i < value.m_text.size() && whole; ++i) {
                int d = value.m_text[i] - '0';
                if (n < (INT64_MIN + d) / 10) {
                    whole = false;  // too large for 64 bits
                } else {
                    n = n * 10 - d;
                }
            }
            if (whole && !negative) {
                if (n == INT64_MIN) {
                    whole = false;  // 2^63 has no positive 64-bit form
                } else {
                    n = -n;
                }
            }
            value.m_number = whole ? n : 0;
        }
        value.m_bWhole = whole;
        return value;
    }

    unsigned ParseHex4()
    {
        unsigned v = 0;
        for (int i = 0; i < 4; ++i) {
            char c = Peek();
            int d = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : -1;
            if (d < 0) Fail("four hexadecimal digits expected after \\u");
            v = v * 16 + static_cast<unsigned>(d);
            ++m_pos;
        }
        return v;
    }

    // Copies one UTF-8 sequence, refusing malformed, overlong and surrogate forms.
    void CopyUtf8(std::string& out)
    {
        const size_t start = m_pos;
        if (!DecodeUtf8(m_text, m_pos)) Fail("invalid UTF-8");
        out.append(m_text.substr(start, m_pos - start));
    }

    std::string ParseString()
    {
        std::string out;
        ++m_pos;
        for (;;) {
            if (AtEnd()) Fail("the text ends inside a string");
            auto c = static_cast<unsigned char>(Peek());
            if (c == '"') {
                ++m_pos;
                return out;
            }
            if (c < 0x20) Fail("a control character inside a string (write it as \\u00XX)");
            if (c >= 0x80) {
                CopyUtf8(out);
                continue;
            }
            ++m_pos;
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            char e = Peek();
            ++m_pos;
            switch (e) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                char32_t cp = ParseHex4();
                if (cp >= 0xDC00 && cp <= 0xDFFF) Fail("a lone low surrogate in \\u escapes");
                if (cp >= 0xD800 && cp <= 0xDBFF) {
                    if (m_text.substr(m_pos, 2) != "\\u")
                        Fail("a lone high surrogate in \\u escapes");
                    m_pos += 2;
                    char32_t low = ParseHex4();
                    if (low < 0xDC00 || low > 0xDFFF) Fail("a lone high surrogate in \\u escapes");
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                }
                AppendUtf8(out, cp);
                break;
            }
            default: --m_pos; Fail("an unknown escape in a string");
            }
        }
    }

    std::string_view m_text;
    size_t m_budget;
    size_t m_pos = 0;
    int m_line = 1;
};

JsonValue JsonValue::Parse(std::string_view text)
{
    return CJsonParser(text).ParseDocument();
}

}  // namespace velkan
