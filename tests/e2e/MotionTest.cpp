#include "OrvantaFixture.h"
