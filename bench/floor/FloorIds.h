// The floor's ids: its dialog, and the panel's own control ids, so that the
// benchmark drives both programs by the same ids.
#pragma once
#include "../../res/resource.h"

#define IDD_FLOOR 200
