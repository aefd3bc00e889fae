#pragma once
// Owns a kernel handle (event, thread, file, ...) and closes it once.
#include "win/base/UniqueAny.h"
