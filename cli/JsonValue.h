// A small ordered tree of values that velkanc prints either as JSON or as indented text, so both
// forms of a report come from one description.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace velkan::cli {

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

    static JsonValue Array() { JsonValue v; v.m_type = Type::Array; return v; }
    static JsonValue Object() { JsonValue v; v.m_type = Type::Object; return v; }

    // Appends to an array.
    JsonValue& Add(JsonValue value);
    // Adds a member to an object, keeping the order of insertion.
    JsonValue& Set(const std::string& key, JsonValue value);

    std::string ToJson(int indent = 2) const;
    // Indented "key: value" lines, for people.
    std::string ToText() const;

private:
    void AppendJson(std::string& out, int indent, int depth) const;
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
    int64_t m_number = 0;
    std::string m_text;
    std::vector<JsonValue> m_items;
    std::vector<std::pair<std::string, JsonValue>> m_members;
};

}  // namespace velkan::cli
