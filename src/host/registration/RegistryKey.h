#pragma once
// Owns an open registry key.
#include "win/com/UniqueAny.h"
