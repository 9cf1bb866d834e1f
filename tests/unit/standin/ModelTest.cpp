#include "ModelTest.h"

#include <algorithm>
#include <sstream>

namespace standin::test {
namespace {

// Trailing blanks matter in this protocol; show them.
std::string Visible(const std::string& s) { return "\"" + s + "\""; }

}  // namespace

std::string Describe(const Outgoing& o) {
  switch (o.kind) {
    case Outgoing::Kind::kNotice:
      return (o.timing == Timing::kNested ? "nested " : "posted ") + o.text;
    case Outgoing::Kind::kAttach:
      return "attach " + std::to_string(o.status);
    case Outgoing::Kind::kApiAvailable:
      return "broadcast 0x8001";
    case Outgoing::Kind::kNote:
      return "note " + o.text;
  }
  return "?";
}

Lines Describe(const Batch& batch) {
  Lines out;
  for (const Outgoing& o : batch) out.push_back(Describe(o));
  return out;
}

Lines Sent(const Batch& batch) {
  Lines out;
  for (const Outgoing& o : batch)
    if (o.kind != Outgoing::Kind::kNote) out.push_back(Describe(o));
  return out;
}

Lines Texts(const Batch& batch) {
  Lines out;
  for (const Outgoing& o : batch)
    if (o.kind == Outgoing::Kind::kNotice) out.push_back(o.text);
  return out;
}

::testing::AssertionResult SameLines(const Lines& expected, const Lines& actual) {
  if (expected == actual) return ::testing::AssertionSuccess();
  std::size_t first = 0;
  while (first < expected.size() && first < actual.size() && expected[first] == actual[first]) ++first;
  std::ostringstream out;
  out << "first difference at line " << first << "\n";
  const std::size_t n = std::max(expected.size(), actual.size());
  for (std::size_t i = 0; i < n; ++i) {
    out << (i == first ? "> " : "  ") << i << "  expected "
        << (i < expected.size() ? Visible(expected[i]) : "(none)") << "\n"
        << "     actual   " << (i < actual.size() ? Visible(actual[i]) : "(none)") << "\n";
  }
  return ::testing::AssertionFailure() << out.str();
}

AttachedModel::AttachedModel(Config config) : model_(std::move(config)) { model_.Discover(kClient); }

void AttachedModel::OpenRobotStream() {
  Send("CREATE APPLICATION remotecontrol");
  Send("ALTER APPLICATION remotecontrol CONNECT orvanta.robot");
  model_.Advance(model_.config().connectSeconds);
  ASSERT_NE(model_.robotStream(), 0);
}

}  // namespace standin::test
