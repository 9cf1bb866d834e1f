// The trajectory: its steps in order. Each step is kept as the line it was
// written as, which is what the list shows and SAVE writes; its values are what
// that line reads as.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "StepLine.h"

class StepList {
public:
    int Count() const { return int(m_lines.size()); }
    const std::vector<std::string>& Lines() const { return m_lines; }
    // The step at index; none past either end, nor for a line that does not read.
    std::optional<StepLine> Step(int index) const
    {
        if (index < 0 || index >= Count())
            return std::nullopt;
        return ParseStepLine(m_lines[size_t(index)]);
    }

    // Each edit takes an index the way the list box does: one outside the list
    // changes nothing (an insert may be at the end).
    void Insert(int at, std::string line)
    {
        if (at >= 0 && at <= Count())
            m_lines.insert(m_lines.begin() + at, std::move(line));
    }
    void Erase(int at)
    {
        if (at >= 0 && at < Count())
            m_lines.erase(m_lines.begin() + at);
    }
    void Replace(int at, std::string line)
    {
        if (at >= 0 && at < Count())
            m_lines[size_t(at)] = std::move(line);
    }
    void Append(std::string line) { m_lines.push_back(std::move(line)); }
    void Clear() { m_lines.clear(); }

private:
    std::vector<std::string> m_lines;
};
