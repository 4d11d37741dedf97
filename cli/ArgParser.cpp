#include "cli/ArgParser.h"

#include "cli/CommandRegistry.h"

namespace velkan::cli {

CArgParser::CArgParser(const std::vector<std::string>& args,
                       const std::set<std::string>& valueOptions,
                       const std::set<std::string>& flagOptions)
{
    bool onlyPositional = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (onlyPositional || arg.size() < 2 || arg[0] != '-') {
            m_positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            onlyPositional = true;
            continue;
        }
        std::string name = arg;
        std::optional<std::string> inlineValue;
        if (auto eq = arg.find('='); eq != std::string::npos && arg.rfind("--", 0) == 0) {
            name = arg.substr(0, eq);
            inlineValue = arg.substr(eq + 1);
        }
        if (valueOptions.count(name)) {
            if (inlineValue) {
                m_values[name] = *inlineValue;
            } else if (i + 1 < args.size()) {
                m_values[name] = args[++i];
            } else {
                throw UsageError{"option " + name + " needs a value"};
            }
            m_allValues[name].push_back(m_values[name]);
        } else if (flagOptions.count(name) && !inlineValue) {
            m_flags.insert(name);
        } else {
            throw UsageError{"unknown option " + arg};
        }
    }
}

bool CArgParser::Has(const std::string& name) const
{
    return m_flags.count(name) != 0 || m_values.count(name) != 0;
}

std::optional<std::string> CArgParser::Value(const std::string& name) const
{
    auto it = m_values.find(name);
    if (it == m_values.end()) return std::nullopt;
    return it->second;
}

std::vector<std::string> CArgParser::Values(const std::string& name) const
{
    auto it = m_allValues.find(name);
    return it == m_allValues.end() ? std::vector<std::string>() : it->second;
}

std::optional<long long> CArgParser::Number(const std::string& name) const
{
    auto text = Value(name);
    if (!text) return std::nullopt;
    if (text->empty() || text->size() > 18 ||
        text->find_first_not_of("0123456789") != std::string::npos) {
        throw UsageError{"option " + name + " needs a number, not '" + *text + "'"};
    }
    return std::stoll(*text);
}

void CArgParser::ExpectPositional(size_t min, size_t max) const
{
    if (m_positional.size() < min) throw UsageError{"missing argument"};
    if (m_positional.size() > max)
        throw UsageError{"unexpected argument '" + m_positional[max] + "'"};
}

std::set<std::string> WithLevelFlags(std::set<std::string> flags)
{
    flags.insert({"-q", "--quiet", "-v", "--verbose"});
    return flags;
}

ReportLevel CArgParser::Level() const
{
    const bool quiet = Has("-q") || Has("--quiet");
    const bool verbose = Has("-v") || Has("--verbose");
    if (quiet && verbose) throw UsageError{"--quiet and --verbose exclude each other"};
    return quiet ? ReportLevel::Quiet : verbose ? ReportLevel::Verbose : ReportLevel::Normal;
}

DeltaSearch CArgParser::DeltaSearchOption() const
{
    auto value = Value("--delta-search");
    if (!value) return DeltaSearch::Window;
    if (auto search = DeltaSearchFromName(*value)) return *search;
    throw UsageError{"--delta-search must be window or global"};
}

}  // namespace velkan::cli
