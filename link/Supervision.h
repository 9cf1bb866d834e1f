// Link supervision's counts: the robot's signs of life, the ticks it has been
// silent, and the countdown to the discovery that follows Skype's log-in.
#pragma once
#include <climits>
#include <cstdint>

class CSupervision {
public:
    static constexpr unsigned kTimerId = 1;
    static constexpr unsigned kPeriodMs = 1000;
    // Ticks at the same period until the first attachment, when supervision's
    // timer is not running yet.
    static constexpr unsigned kDiscoveryTimerId = 2;
    // Start-up gives Skype this many ticks to answer the discovery.
    static constexpr int kAnswerTicks = 10;

    // Below zero, the countdown stays quiet until ArmRediscovery sets it.
    explicit CSupervision(int missedTicks = 0, int rediscoverCountdown = -1)
        : m_nMissedTicks(missedTicks), m_nRediscoverCountdown(rediscoverCountdown)
    {
    }

    // Every accepted datagram is a sign of life.
    void OnSignOfLife()
    {
        ++m_nReplyCount;
        m_nMissedTicks = 0;
    }
    // A tick: true when the robot has been silent for more than the threshold
    // before it, whether or not it ever answered.
    bool MissTick()
    {
        int missed = m_nMissedTicks;
        if (missed < INT_MAX)
            m_nMissedTicks = missed + 1;
        return missed > kMissedTickThreshold;
    }
    // A tick: true when the discovery is due. The countdown runs down to -1 and
    // rests there until it is set again.
    bool CountDown()
    {
        int countdown = m_nRediscoverCountdown;
        if (countdown >= 0)
            m_nRediscoverCountdown = countdown - 1;
        return countdown == 0;
    }
    void ArmRediscovery() { m_nRediscoverCountdown = 10; }

    std::uint32_t ReplyCount() const { return m_nReplyCount; }
    int MissedTicks() const { return m_nMissedTicks; }
    int RediscoverCountdown() const { return m_nRediscoverCountdown; }

private:
    static constexpr int kMissedTickThreshold = 15;

    std::uint32_t m_nReplyCount = 0;
    int m_nMissedTicks;
    int m_nRediscoverCountdown;
};
