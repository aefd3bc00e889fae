#pragma once
// The registration scripts: a small text format that describes registry
// keys under one root, and its parser. The module carries one script per
// registered thing; ScriptRegistrar writes or removes what a script
// describes.
//
// Format, one key or value per line; a key's subkeys and values are the
// lines below it that are indented deeper (spaces only):
//
//   # comment                 lines starting with '#' and blank lines are ignored
//   keep NAME                 created if missing; never deleted
//   key NAME [= 'TEXT']       created on registration; deleted whole on unregistration
//   replace NAME [= 'TEXT']   deleted whole and created anew on registration (nothing
//                             old survives under it); deleted whole on unregistration
//   value NAME = 'TEXT'       a string value of the enclosing key
//
// `= 'TEXT'` on a key sets its default value. NAME is a bare word (no
// spaces, quotes, '=' or '#') or quoted text; a key name is one level (no
// backslash). TEXT is in single quotes, '' standing for one quote. In names
// and texts %NAME% is replaced by the variable NAME (an unknown variable is
// an error) and %% by one percent sign. All values are strings.
//
// Example:
//   keep CLSID
//     replace {0F0F0F0F-0000-0000-0000-000000000000} = 'Thing Class'
//       key InprocServer32 = '%MODULE%'
//         value ThreadingModel = 'Apartment'
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvane {

struct RegistryScriptKey {
  enum class Kind { Keep, Key, Replace };
  Kind kind = Kind::Key;
  std::u16string name;
  std::optional<std::u16string> text;  // the default value
  std::vector<std::pair<std::u16string, std::u16string>> values;
  std::vector<RegistryScriptKey> subkeys;
};

struct RegistryScriptParse {
  std::vector<RegistryScriptKey> keys;  // the top-level keys, in script order
  std::size_t errorLine = 0;            // 1-based line of the first error; 0 if none
  std::string error;

  bool ok() const { return errorLine == 0; }
};

using RegistryScriptVariables = std::map<std::u16string, std::u16string, std::less<>>;

RegistryScriptParse ParseRegistryScript(std::u16string_view script, const RegistryScriptVariables& variables);

}  // namespace quorvane
