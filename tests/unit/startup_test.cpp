// Start-up, the state record, data exchange and presentation of the panel.
#include "PanelFixture.h"
