#include "PanelFixture.h"
