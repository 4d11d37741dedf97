// Where a build sends its report: one line per stored file (and the uninstaller, the warnings and
// the summary), with the sizes of the current line. The editor's Build page shows it as a list,
// velkanc as a table.
#pragma once

#include <cstdint>
#include <string>

namespace velkan {

class CBuildReport {
public:
    // The kind every line of a build carries (the kinds 1081-1083 show a packed 0 as "0").
    static constexpr int kKindFile = 1081;

    virtual ~CBuildReport() = default;
    // Appends a line (8-bit project text) and makes it the current line.
    virtual void AddLine(const std::string& text) = 0;
    // Gives the current line its size, packed size and ratio.
    virtual void SetNumbers(int kind, uint64_t size, uint64_t packed) = 0;
    // A warning of the checks before the build: text is its report line (8-bit project text),
    // about names the version and the file or key it concerns ("version 1 (Default), file
    // app.exe"), for a report that shows more than the line. By default the line alone.
    virtual void AddWarning(const std::string& text, const std::string& about)
    {
        static_cast<void>(about);
        AddLine(text);
    }
};

}  // namespace velkan
