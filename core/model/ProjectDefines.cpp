#include "core/model/ProjectDefines.h"

#include <algorithm>
#include <set>
#include <string_view>

#include "core/model/CJsonException.h"
#include "core/model/ProjectFile.h"
#include "core/model/ProjectJson.h"

namespace velkan {

namespace {

bool IsNameChar(char c, bool first)
{
    bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    return letter || (!first && ((c >= '0' && c <= '9') || c == '.' || c == '-'));
}

// Walks the project's value tree (every field, with the key paths of the project as text) and
// rebuilds it with the defines put into each string.
class CExpander {
public:
    explicit CExpander(const Defines& defines) : m_defines(defines) {}

    JsonValue Expand(const JsonValue& v, const std::string& path)
    {
        switch (v.GetType()) {
        case JsonValue::Type::String: {
            if (v.GetText().find("${") == std::string::npos) return v;
            m_bChanged = true;
            try {
                return JsonValue(ExpandDefinesIn(v.GetText(), m_defines, m_used, path));
            } catch (const CDefineError& e) {
                m_errors.emplace_back(e.what());
                return v;
            }
        }
        case JsonValue::Type::Array: {
            JsonValue out = JsonValue::Array();
            for (size_t i = 0; i < v.Items().size(); ++i)
                out.Add(Expand(v.Items()[i], path + "[" + std::to_string(i) + "]"));
            return out;
        }
        case JsonValue::Type::Object: {
            JsonValue out = JsonValue::Object();
            for (const auto& [key, value] : v.Members())
                out.Set(key, Expand(value, path.empty() ? key : path + "." + key));
            return out;
        }
        default: return v;
        }
    }

    bool Changed() const { return m_bChanged; }
    const std::vector<std::string>& Used() const { return m_used; }
    const std::vector<std::string>& Errors() const { return m_errors; }

private:
    const Defines& m_defines;
    std::vector<std::string> m_used;
    std::vector<std::string> m_errors;
    bool m_bChanged = false;
};

}  // namespace

bool IsDefineName(const std::string& name)
{
    if (name.empty() || !IsNameChar(name[0], true)) return false;
    return std::all_of(name.begin() + 1, name.end(), [](char c) { return IsNameChar(c, false); });
}

std::string ExpandDefinesIn(const std::string& text, const Defines& defines,
                            std::vector<std::string>& used, const std::string& where)
{
    std::string out;
    for (size_t i = 0; i < text.size();) {
        if (text.compare(i, 3, "$${") == 0) {
            out += "${";
            i += 3;
            continue;
        }
        if (text.compare(i, 2, "${") != 0) {
            out += text[i++];
            continue;
        }
        size_t end = text.find('}', i + 2);
        if (end == std::string::npos) {
            throw CDefineError(where + ": a ${ that is never closed (write $${ for a literal ${)");
        }
        std::string name = text.substr(i + 2, end - i - 2);
        auto it = defines.find(name);
        if (it == defines.end()) {
            throw CDefineError(where + ": ${" + name + "} is used but not defined (give it with " +
                               "-D " + name + "=VALUE)");
        }
        if (std::find(used.begin(), used.end(), name) == used.end()) used.push_back(name);
        out += it->second;
        i = end + 1;
    }
    return out;
}

std::vector<std::pair<std::string, std::string>> ExpandDefines(CDataArray& project,
                                                               const Defines& defines)
{
    // Nearly every project holds no ${ at all: finding none in its stored bytes (where every
    // string stands as it is) spares turning the whole project into a value tree and back, which
    // cost a build of a 4,464-file project a tenth of a second before any file was read.
    const std::vector<unsigned char> stored = WriteProject(project);
    const std::string_view mark = "${";
    if (std::search(stored.begin(), stored.end(), mark.begin(), mark.end()) == stored.end()) {
        return {};
    }
    CExpander expander(defines);
    JsonValue expanded = expander.Expand(ProjectToJson(project, JsonDetail::Every), "");
    if (!expander.Errors().empty()) {
        std::string message = expander.Errors().front();
        for (size_t i = 1; i < expander.Errors().size(); ++i)
            message += "\n" + expander.Errors()[i];
        throw CDefineError(message);
    }
    if (!expander.Changed()) return {};
    try {
        project = ProjectFromJson(expanded);
    } catch (const CJsonException& e) {
        // A value that the project's code page cannot hold, or that makes a path empty.
        throw CDefineError(std::string("after putting in the defines: ") + e.what());
    }
    std::set<std::string> names(expander.Used().begin(), expander.Used().end());
    std::vector<std::pair<std::string, std::string>> used;
    for (const std::string& name : names) used.emplace_back(name, defines.at(name));
    return used;
}

}  // namespace velkan
