#pragma once
// The sidebar's record of the plug-ins registered with it, kept in the
// registry of the current user: one key per component, named by its class
// id in registry form, holding the registration record's name/value pairs
// and a mark when the component is a display plug-in.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace quorvane::sidebar {

struct PluginRecord {
  std::wstring classId;  // "{XXXXXXXX-...}", upper case
  std::wstring title;
  std::wstring description;
  bool display = false;
};

using RegistrationFields = std::vector<std::pair<std::wstring, std::wstring>>;

class PluginStore {
 public:
  // Under HKEY_CURRENT_USER.
  static constexpr const wchar_t* kRootKey = L"Software\\QuorvaneSidebar\\Plugins";

  // Writes a component's record, replacing any earlier one whole. The class
  // id must be a well-formed GUID string; it is stored in canonical form.
  static HRESULT PutComponent(const std::wstring& classId, const RegistrationFields& fields);
  // Marks a registered component as a display plug-in.
  static HRESULT MarkDisplayPlugin(const std::wstring& classId, bool option);
  // Removes a component's record; S_FALSE when there was none.
  static HRESULT RemoveComponent(const std::wstring& classId);
  // Display plug-ins, the one with `firstClassId` first, the others in
  // registry order.
  static std::vector<PluginRecord> ListDisplayPlugins(const std::wstring& firstClassId);

  // The canonical registry form of a GUID string, or empty when malformed.
  static std::wstring CanonicalClassId(const std::wstring& text);
};

}  // namespace quorvane::sidebar
