#include "ModelTest.h"

namespace standin::test {

std::string Describe(const Outgoing& o)
{
    switch (o.kind) {
    case Outgoing::Kind::kNotice: return (o.timing == Timing::kNested ? "nested " : "posted ") + o.text;
    case Outgoing::Kind::kAttach: return "attach " + std::to_string(o.status);
    case Outgoing::Kind::kApiAvailable: return "broadcast 0x8001";
    case Outgoing::Kind::kNote: return "note " + o.text;
    }
    return "?";
}

Lines Describe(const Batch& batch)
{
    Lines out;
    for (const Outgoing& o : batch)
        out.push_back(Describe(o));
    return out;
}

Lines Sent(const Batch& batch)
{
    Lines out;
    for (const Outgoing& o : batch)
        if (o.kind != Outgoing::Kind::kNote)
            out.push_back(Describe(o));
    return out;
}

Lines Texts(const Batch& batch)
{
    Lines out;
    for (const Outgoing& o : batch)
        if (o.kind == Outgoing::Kind::kNotice)
            out.push_back(o.text);
    return out;
}

AttachedModel::AttachedModel(Config config) : m_model(std::move(config)) { m_model.Discover(kClient); }

void AttachedModel::OpenRobotStream()
{
    Send("CREATE APPLICATION remotecontrol");
    Send("ALTER APPLICATION remotecontrol CONNECT orvanta.robot");
    m_model.Advance(m_model.config().connectSeconds);
    ASSERT_NE(m_model.robotStream(), 0);
}

}  // namespace standin::test
