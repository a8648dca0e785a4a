#pragma once

#include "Classes/AppContext.h"
#include "Classes/PlistController.h"

// The running test's own context, made before its fixture and dropped
// after it.
AppContext& testContext();
// The note store as the running test's context has it.
inline PlistController testStore() { return PlistController(testContext()); }
