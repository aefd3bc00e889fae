#pragma once
// Owns a kernel handle (event, thread, file, ...) and closes it once.
#include "host/com/UniqueAny.h"
