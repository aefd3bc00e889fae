#pragma once
// Owns an open registry key.
#include "host/com/UniqueAny.h"
