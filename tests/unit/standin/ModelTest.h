// Helpers for the stand-in model's tests: batches as readable lines, exact
// sequence comparison, and a model with a client already attached.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LineDiff.h"
#include "SkypeModel.h"

namespace standin::test {

using testsupport::Lines;
using testsupport::SameLines;

inline constexpr ClientId kClient = 0x10AB0;
inline constexpr ClientId kOtherClient = 0x20CD0;

// "nested TEXT", "posted TEXT", "attach N", "broadcast 0x8001", "note TEXT".
std::string Describe(const Outgoing& o);
Lines Describe(const Batch& batch);
// The same without notes: what reaches a window.
Lines Sent(const Batch& batch);
// Only the notice texts.
Lines Texts(const Batch& batch);

// A model with kClient attached and the status notices taken.
class AttachedModel : public ::testing::Test {
protected:
    explicit AttachedModel(Config config = {});
    Batch Send(std::string_view command) { return m_model.Command(kClient, command); }
    Lines SendLines(std::string_view command) { return Sent(Send(command)); }
    Lines AdvanceLines(double seconds) { return Sent(m_model.Advance(seconds)); }
    // CREATE and CONNECT, then time until the stream is up.
    void OpenRobotStream();

    SkypeModel m_model;
};

}  // namespace standin::test

#define EXPECT_LINES(expected, actual) EXPECT_TRUE(::testsupport::SameLines((expected), (actual)))
#define ASSERT_LINES(expected, actual) ASSERT_TRUE(::testsupport::SameLines((expected), (actual)))
