// The Skype channel: discovery, commands out, notices in.
#include "PanelFixture.h"
