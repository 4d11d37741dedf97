#include "cli/JsonValue.h"

#include <cstdio>

namespace velkan::cli {

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
    out += '"';
    for (unsigned char c : text) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    out += '"';
}

}  // namespace

std::string JsonValue::ScalarText(bool quoteStrings) const
{
    switch (m_type) {
        case Type::Null: return "null";
        case Type::Bool: return m_number ? "true" : "false";
        case Type::Number: return std::to_string(m_number);
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

void JsonValue::AppendJson(std::string& out, int indent, int depth) const
{
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
            std::string label = prefix + "[" + std::to_string(i) + "]";
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

}  // namespace velkan::cli
