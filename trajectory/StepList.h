// The trajectory: its steps in order. Each step is kept as the line it was
// written as, which is what the list shows and SAVE writes; its values are what
// that line reads as. It knows whether it has changed since it was last saved
// or loaded, so that unsaved steps are not thrown away without a word.
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
    // changes nothing (an insert may be at the end). An edit that does
    // something marks the list changed.
    void Insert(int at, std::string line)
    {
        if (at >= 0 && at <= Count()) {
            m_lines.insert(m_lines.begin() + at, std::move(line));
            m_changed = true;
        }
    }
    void Erase(int at)
    {
        if (at >= 0 && at < Count()) {
            m_lines.erase(m_lines.begin() + at);
            m_changed = true;
        }
    }
    void Replace(int at, std::string line)
    {
        if (at >= 0 && at < Count()) {
            m_lines[size_t(at)] = std::move(line);
            m_changed = true;
        }
    }
    void Append(std::string line)
    {
        m_lines.push_back(std::move(line));
        m_changed = true;
    }
    void Clear()
    {
        if (!m_lines.empty())
            m_changed = true;
        m_lines.clear();
    }

    // Whether an edit came since start-up or the last Unchanged: the steps on
    // the screen are then not those of any file.
    bool Changed() const { return m_changed; }
    // The list is what a file holds now: it was saved, or loaded.
    void Unchanged() { m_changed = false; }

private:
    std::vector<std::string> m_lines;
    bool m_changed = false;
};
