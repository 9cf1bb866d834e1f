#include <gtest/gtest.h>

#include <set>

#include "ModelTest.h"
#include "FaultTexts.h"
#include "Scenario.h"

namespace standin::test {
namespace {

// Runs a model like the window does: ticks of 50 ms, the scenario stepped after each.
class ScenarioRun {
public:
    explicit ScenarioRun(std::string_view name) : m_scenario(*Scenario::Named(name)), m_model(Configured(m_scenario)) { }
    // What was sent during `seconds`, with the model time of each line.
    std::vector<std::pair<double, std::string>> For(double seconds)
    {
        std::vector<std::pair<double, std::string>> out;
        const int ticks = static_cast<int>(seconds / 0.05 + 0.5);
        for (int i = 0; i < ticks; ++i) {
            Batch batch = m_model.Advance(0.05);
            for (Outgoing& o : m_scenario.Step(m_model))
                batch.push_back(std::move(o));
            for (const std::string& line : Sent(batch))
                out.emplace_back(m_model.now(), line);
        }
        return out;
    }
    SkypeModel& model() { return m_model; }
    Scenario& scenario() { return m_scenario; }

private:
    static Config Configured(const Scenario& s)
    {
        Config c;
        s.Configure(c);
        return c;
    }
    Scenario m_scenario;
    SkypeModel m_model;
};

double FirstTime(const std::vector<std::pair<double, std::string>>& lines, const std::string& text)
{
    for (const auto& [time, line] : lines)
        if (line == text)
            return time;
    return -1;
}

TEST(Scenario, NamesAreUniqueAndKnown)
{
    std::set<std::string_view> names;
    for (const Scenario::Entry& e : Scenario::List()) {
        EXPECT_TRUE(names.insert(e.name).second) << e.name;
        ASSERT_TRUE(Scenario::Named(e.name)) << e.name;
        EXPECT_EQ(Scenario::Named(e.name)->name(), e.name);
        EXPECT_FALSE(e.description.empty());
    }
    EXPECT_FALSE(Scenario::Named("--refuse"));
    EXPECT_FALSE(Scenario::Named(""));
}

TEST(Scenario, SettingsFromTheStart)
{
    struct Row {
        const char* name;
        long firstAnswer;
    };
    const Row rows[] = {{"well-behaved", kAttachSuccess},
                        {"refuse", kAttachRefused},
                        {"not-available", kAttachNotAvailable},
                        {"pending", kAttachPendingAuthorization}};
    for (const Row& row : rows) {
        ScenarioRun run(row.name);
        const Batch batch = run.model().Discover(kClient);
        ASSERT_FALSE(batch.empty());
        EXPECT_EQ(batch[0].status, row.firstAnswer) << row.name;
    }
    Config c;
    Scenario::Named("reject-video")->Configure(c);
    EXPECT_TRUE(c.rejectVideo);
    Scenario::Named("robot-offline")->Configure(c);
    EXPECT_EQ(c.robot, RobotMode::kOffline);
}

TEST(Scenario, NotAvailableLogsInLater)
{
    ScenarioRun run("not-available");
    EXPECT_TRUE(run.For(2).empty());
    run.model().Discover(kClient);
    const auto lines = run.For(6);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].second, "broadcast 0x8001");
    EXPECT_NEAR(lines[0].first, 2 + 5, 0.11);  // to the tick
    EXPECT_EQ(run.model().Discover(kClient)[0].status, kAttachSuccess);
}

TEST(Scenario, LogOutAndBackIn)
{
    ScenarioRun run("logout");
    run.For(1);
    run.model().Discover(kClient);
    const auto lines = run.For(15);
    EXPECT_NEAR(FirstTime(lines, "posted USERSTATUS LOGGEDOUT"), 1 + 8, 0.11);
    EXPECT_NEAR(FirstTime(lines, "broadcast 0x8001"), 1 + 8 + 3, 0.16);
    run.model().Discover(kClient);
    EXPECT_TRUE(run.For(20).empty());  // once only
}

TEST(Scenario, StreamBreaks)
{
    ScenarioRun run("drop-stream");
    run.model().Discover(kClient);
    run.model().Command(kClient, "CREATE APPLICATION remotecontrol");
    run.model().Command(kClient, "ALTER APPLICATION remotecontrol CONNECT orvanta.robot");
    const auto lines = run.For(12);
    const double opened = FirstTime(lines, "posted APPLICATION remotecontrol STREAMS orvanta.robot:1");
    ASSERT_GT(opened, 0);
    EXPECT_NEAR(FirstTime(lines, "posted APPLICATION remotecontrol STREAMS "), opened + 10, 0.11);
}

TEST(Scenario, RobotHangsUpTenSecondsIn)
{
    ScenarioRun run("far-hangup");
    run.model().Discover(kClient);
    run.model().Command(kClient, "CALL orvanta.robot");
    const auto lines = run.For(20);
    const double finished = FirstTime(lines, "posted CALL 1402 STATUS FINISHED");
    EXPECT_NEAR(finished, FirstTime(lines, "posted CALL 1402 DURATION 10"), 1e-9);
    EXPECT_LT(FirstTime(lines, "posted CALL 1402 DURATION 11"), 0);
}

TEST(Scenario, RepeatingFaults)
{
    ScenarioRun garbage("garbage");
    garbage.model().Discover(kClient);
    const auto lines = garbage.For(5.01);
    // At 2 s and 4 s after attaching, a whole burst each time.
    EXPECT_EQ(lines.size(), 2 * GarbageNotices().size());
}

TEST(Scenario, SilentRobot)
{
    ScenarioRun run("silent-robot");
    run.model().Discover(kClient);
    run.model().Command(kClient, "CREATE APPLICATION remotecontrol");
    run.model().Command(kClient, "ALTER APPLICATION remotecontrol CONNECT orvanta.robot");
    run.For(10.2);
    EXPECT_EQ(run.model().config().robot, RobotMode::kAnswering);
    run.For(0.2);
    EXPECT_EQ(run.model().config().robot, RobotMode::kSilent);
}

}  // namespace
}  // namespace standin::test
