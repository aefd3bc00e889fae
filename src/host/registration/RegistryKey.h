#pragma once
// Owns an open registry key.
#include "win/base/UniqueAny.h"
