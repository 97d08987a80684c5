// Transitional name of testing/test_util.h, for tests written before the
// shared test helpers moved there; include testing/test_util.h instead.
#pragma once

#include "testing/test_util.h"
