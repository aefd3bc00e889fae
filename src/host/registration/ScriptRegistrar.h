#pragma once
// Writes and removes the registry keys that a registration script
// (RegistryScript.h) describes.
#include <windows.h>

#include <vector>

#include "host/registration/RegistryScript.h"

namespace quorvane {

// Writes `keys` under `root` in script order, stopping at the first failure.
HRESULT WriteScriptKeys(HKEY root, const std::vector<RegistryScriptKey>& keys);

// Removes what WriteScriptKeys wrote, leaving kept keys (and what the script
// does not name under them) in place. Keys that are already gone are no
// failure; it goes on past a failure and returns the first.
HRESULT RemoveScriptKeys(HKEY root, const std::vector<RegistryScriptKey>& keys);

// Loads REGSCRIPT resource `id` of `module`, expands `variables` and writes
// (`install`) or removes its keys under `root`. A script that does not parse
// gives HRESULT_FROM_WIN32(ERROR_INVALID_DATA) and touches nothing.
HRESULT RunModuleScript(HMODULE module, UINT id, const RegistryScriptVariables& variables, bool install,
                        HKEY root = HKEY_CLASSES_ROOT);

}  // namespace quorvane
