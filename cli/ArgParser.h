// A small argument reader for velkanc commands: positional arguments, flags and options with a
// value ("-o OUT", "--version N", "--version=N"). Unknown options are usage errors.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cli/CommandRegistry.h"
#include "core/delta/DeltaSearch.h"

namespace velkan::cli {

// How much a command reports: -q/--quiet nothing but warnings and errors, -v/--verbose
// everything it knows, between them a short summary.
enum class ReportLevel { Quiet, Normal, Verbose };

// flags with the report-level flags added.
std::set<std::string> WithLevelFlags(std::set<std::string> flags);

class CArgParser {
public:
    // valueOptions take a value; flagOptions do not. Names include the dashes ("-o", "--json").
    CArgParser(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
               const std::set<std::string>& flagOptions);
    CArgParser(const std::vector<std::string>& args, const CommandOptions& options)
        : CArgParser(args, options.values, options.flags)
    {
    }

    bool Has(const std::string& name) const;
    std::optional<std::string> Value(const std::string& name) const;
    // Every value of an option given more than once, in order (Value gives the last).
    std::vector<std::string> Values(const std::string& name) const;
    // The value parsed as a non-negative integer; throws UsageError when it is not one.
    std::optional<long long> Number(const std::string& name) const;
    // The report level of the flags (WithLevelFlags); both -q and -v is a usage error.
    ReportLevel Level() const;
    // --delta-search window|global (absent: window); throws UsageError on another value.
    DeltaSearch DeltaSearchOption() const;
    const std::vector<std::string>& Positional() const { return m_positional; }
    // Throws UsageError unless the count of positional arguments lies in [min, max].
    void ExpectPositional(size_t min, size_t max) const;

private:
    std::map<std::string, std::string> m_values;
    std::map<std::string, std::vector<std::string>> m_allValues;
    std::set<std::string> m_flags;
    std::vector<std::string> m_positional;
};

}  // namespace velkan::cli
