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

AttachedModel::AttachedModel(Config config) : model_(std::move(config)) { model_.Discover(kClient); }

void AttachedModel::OpenRobotStream()
{
    Send("CREATE APPLICATION remotecontrol");
    Send("ALTER APPLICATION remotecontrol CONNECT orvanta.robot");
    model_.Advance(model_.config().connectSeconds);
    ASSERT_NE(model_.robotStream(), 0);
}

}  // namespace standin::test
