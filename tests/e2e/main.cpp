// OrvantaE2E.exe: runs under Wine (or Windows) beside Orvanta.exe.
#include <gtest/gtest.h>

#include "OrvantaFixture.h"
#include "RemoteDialog.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    e2e::SetControlNamer(e2e::OrvantaControlName);
    return RUN_ALL_TESTS();
}
