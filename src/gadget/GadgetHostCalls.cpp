// What the gadget tells the host: title, size and icon when it gets its
// site, and the about box for plug-in command 1.
#include "gadget/GadgetControl.h"
#include "win/com/ComPtr.h"
#include "win/ole/ResourcePicture.h"
#include "gadget/ResourceIds.h"

namespace quorvane {
namespace {

constexpr wchar_t kTitle[] = L"QuorvaneRSS";
constexpr wchar_t kAboutText[] =
    L"QuorvaneRSS 1.0 Gadget\n"
    L"This gadget downloads RSS feeds from any Web sites and then shows them as a quorvane.";

}  // namespace

HRESULT GadgetControl::OnClientSiteSet() {
  if (!ClientSite()) return S_OK;
  ComPtr<IPluginSite> plugin;
  if (FAILED(ClientSite()->QueryInterface(IID_IPluginSite, reinterpret_cast<void**>(plugin.GetAddressOf()))))
    return S_OK;
  UniqueBstr title(kTitle);
  plugin->SetTitle(title.get());
  plugin->SetDefaultSize(80, 50);
  ComPtr<IPicture> icon;
  if (FAILED(CreateResourcePicture(IDB_GADGET_ICON, &icon))) return E_FAIL;
  plugin->SetIcon(icon.Get());
  return S_OK;
}

HRESULT GadgetControl::OnCommand(LONG command) {
  return command == kPluginCommandAbout ? ShowAboutBox() : S_OK;
}

HRESULT GadgetControl::ShowAboutBox() {
  ComPtr<IPluginAboutBox> about;
  if (!ClientSite() ||
      FAILED(ClientSite()->QueryInterface(IID_IPluginAboutBox, reinterpret_cast<void**>(about.GetAddressOf()))))
    return S_OK;  // no about box to show it in
  ComPtr<IPicture> icon;
  if (FAILED(CreateResourcePicture(IDB_GADGET_ICON, &icon))) return E_FAIL;
  UniqueBstr text(kAboutText);
  about->ShowAbout(icon.Get(), text.get());
  return S_OK;
}

}  // namespace quorvane
