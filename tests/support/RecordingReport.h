// A build report that keeps every line with its numbers, for tests to look at.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/builder/CBuildReport.h"

namespace velkan::test {

class RecordingReport : public CBuildReport {
public:
    struct Line {
        std::string text;
        bool hasNumbers = false;
        uint64_t size = 0;
        uint64_t packed = 0;
    };
    void AddLine(const std::string& text) override { lines.push_back({text}); }
    void SetNumbers(int kind, uint64_t size, uint64_t packed) override
    {
        EXPECT_EQ(kind, CBuildReport::kKindFile);
        ASSERT_FALSE(lines.empty());
        lines.back().hasNumbers = true;
        lines.back().size = size;
        lines.back().packed = packed;
    }
    const Line* Find(const std::string& text) const
    {
        for (const Line& line : lines) {
            if (line.text == text) return &line;
        }
        return nullptr;
    }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const Line& line : lines) texts.push_back(line.text);
        return texts;
    }
    std::vector<Line> lines;
};

}  // namespace velkan::test
