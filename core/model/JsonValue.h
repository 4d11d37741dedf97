// A small ordered tree of values, written as JSON or as indented text for people, and read back
// from JSON. Projects as text and velkanc's reports are built on it, so every printed form comes
// from one description.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velkan {

class JsonValue {
public:
    enum class Type { Null, Bool, Number, String, Array, Object };

    JsonValue() = default;
    JsonValue(bool b) : m_type(Type::Bool), m_number(b) {}
    JsonValue(int v) : m_type(Type::Number), m_number(v) {}
    JsonValue(int64_t v) : m_type(Type::Number), m_number(v) {}
    JsonValue(uint32_t v) : m_type(Type::Number), m_number(v) {}
    JsonValue(uint64_t v) : m_type(Type::Number), m_number(static_cast<int64_t>(v)) {}
    // Text that is already UTF-8.
    JsonValue(std::string utf8) : m_type(Type::String), m_text(std::move(utf8)) {}
    JsonValue(const char* utf8) : m_type(Type::String), m_text(utf8) {}

    static JsonValue Array()
    {
        JsonValue v;
        v.m_type = Type::Array;
        return v;
    }
    static JsonValue Object()
    {
        JsonValue v;
        v.m_type = Type::Object;
        return v;
    }

    // Reads one JSON value that fills the whole text (a UTF-8 byte order mark is allowed), with
    // the two liberties people expect of a file they write: comments (// to the end of the line,
    // and /* ... */) and a comma after the last member or item.
    // Throws CJsonException "line L, column C: ..." for text that is not JSON, for invalid
    // UTF-8, for a key given twice in one object, for nesting deeper than kMaxDepth and for
    // values whose tree would take memory out of proportion to the text (kMemoryPerTextByte).
    static JsonValue Parse(std::string_view text);
    // Arrays and objects nested deeper are refused, so hostile text cannot exhaust the stack.
    static constexpr int kMaxDepth = 64;
    // The tree may take at most this many bytes of memory per byte of text, plus the allowance.
    static constexpr size_t kMemoryPerTextByte = 16;
    static constexpr size_t kMemoryAllowance = 1 << 20;

    // Appends to an array.
    JsonValue& Add(JsonValue value);
    // Adds a member to an object, keeping the order of insertion.
    JsonValue& Set(const std::string& key, JsonValue value);
    // Prints this value and everything in it on one line of the JSON form: one record a line
    // keeps the diffs of long lists readable.
    JsonValue& SetOneLine()
    {
        m_bOneLine = true;
        return *this;
    }

    Type GetType() const { return m_type; }
    // For a number: whether it is a whole number that fits 64 bits (no fraction, no exponent).
    bool IsWhole() const { return m_type == Type::Number && m_bWhole; }
    int64_t GetNumber() const { return m_number; }
    bool GetBool() const { return m_number != 0; }
    // A string's UTF-8 text; for a number read from JSON, its literal.
    const std::string& GetText() const { return m_text; }
    const std::vector<JsonValue>& Items() const { return m_items; }
    const std::vector<std::pair<std::string, JsonValue>>& Members() const { return m_members; }
    // The line a value read from text begins on, counting from 1; 0 for a value made in code.
    int Line() const { return m_line; }

    // JSON with members and items one a line, indented by `indent` spaces a level.
    std::string ToJson(int indent = 2) const;
    // Indented "key: value" lines, for people.
    std::string ToText() const;

private:
    friend class CJsonParser;

    void AppendJson(std::string& out, int indent, int depth) const;
    void AppendOneLine(std::string& out) const;
    void AppendText(std::string& out, const std::string& prefix) const;
    bool IsScalar() const { return m_type != Type::Array && m_type != Type::Object; }
    bool IsNumberArray() const
    {
        if (m_type != Type::Array) return false;
        for (const JsonValue& v : m_items) {
            if (v.m_type != Type::Number) return false;
        }
        return true;
    }
    std::string ScalarText(bool quoteStrings) const;

    Type m_type = Type::Null;
    bool m_bWhole = true;
    bool m_bOneLine = false;
    int m_line = 0;
    int64_t m_number = 0;
    std::string m_text;
    std::vector<JsonValue> m_items;
    std::vector<std::pair<std::string, JsonValue>> m_members;
};

}  // namespace velkan
