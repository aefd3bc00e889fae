#pragma once
// The gadget control (class QuorvaneRSSGadget): the object the host creates
// and the spine of the display. It owns the feed fetcher, the typing state
// machine (the record on screen and how far it is typed), a private
// message-only window that receives its timers and every cross-thread
// notification, the wait threads, its fonts and bitmaps, and its settings.
// Everything here runs on the host's user-interface thread; the fetcher's
// worker and the wait threads only post messages to the message-only window.
//
// Where things are:
//   GadgetControl.cpp        construction, start-up, messages, teardown
//   GadgetHostCalls.cpp      the client site's plug-in calls, plug-in commands
//   GadgetTyping.cpp         the typing automation methods, the wait threads
//   GadgetDrawing.cpp        DrawGadget
//   GadgetPointer.cpp        click and pointer shape over the link bar
//   GadgetMenu.cpp           IContextMenu
//   GadgetFeeds.cpp          IQuorvaneRSSFeeds (feed outcomes, next/previous)
//   GadgetAccessible.cpp     IAccessible (screen readers)
//   GadgetKeyboard.cpp       keys and focus, the focus rectangle
//   settings/GadgetSettings.cpp  IQuorvaneRSSGadget properties, IDispatch,
//                            IPersistStreamInit, ISpecifyPropertyPages
#include <windows.h>
#include <shobjidl.h>

#include <memory>
#include <string>

#include "QuorvaneRSS_h.h"
#include "feeds/FeedFetcher.h"
#include "gadget/GadgetAccessible.h"
#include "gadget/GadgetDpiObjects.h"
#include "gadget/GadgetFeedStatus.h"
#include "gadget/GadgetFeeds.h"
#include "gadget/GadgetGeometry.h"
#include "gadget/GdiGadgetFrame.h"
#include "gadget/LineBreakCache.h"
#include "gadget/ScreenHost.h"
#include "gadget/TextInk.h"
#include "gadget/TypingMachine.h"
#include "gadget/WaitThreads.h"
#include "win/HostInterfaces.h"
#include "win/ole/OleControl.h"
#include "win/window/OwnedWindow.h"
#include "win/ole/TypeInfoDispatch.h"
#include "settings/GadgetSettingsRecord.h"

namespace quorvane {

// Posted to the message-only window, both parameters 0; private to the window
// class, so in WM_APP's range.
inline constexpr UINT MSG_START = WM_APP + 1;          // InitNew, Load: start the display
inline constexpr UINT MSG_RESUME_TYPING = WM_APP + 2;  // the resume wait: end a full-page hold
inline constexpr UINT MSG_NEXT_SCREEN = WM_APP + 3;    // the fetcher's cycle or the next-screen wait

// The message-only window's class, which holds the fetcher's posts and
// the timers below.
inline constexpr wchar_t kMessageWindowClass[] = L"QuorvaneRSSMessageWindow";

// Timers of the message-only window.
inline constexpr UINT_PTR TIMER_TYPING = 0;  // one typed character, period (16 - speed) x 5 ms
inline constexpr UINT_PTR TIMER_CURSOR = 1;  // cursor blink phase
inline constexpr UINT kCursorBlinkMs = 700;

// OLEMISC_SETCLIENTSITEFIRST | ACTIVATEWHENVISIBLE | INSIDEOUT | CANTLINKINSIDE | RECOMPOSEONRESIZE
inline constexpr DWORD kGadgetMiscStatus = 0x20191;
inline constexpr COLORREF kLinkColour = RGB(1, 24, 116);

class GadgetControl : public OleControl,
                      public IQuorvaneRSSGadget,
                      public IPersistStreamInit,
                      public ISpecifyPropertyPages,
                      public IContextMenu,
                      public IPluginCommand,
                      private ScreenHost {
 public:
  explicit GadgetControl(IUnknown* outer);
  QUORVANE_COM_IUNKNOWN

  // IDispatch (settings/GadgetSettings.cpp)
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argumentError) override;

  // IQuorvaneRSSGadget: the settings (settings/GadgetSettings.cpp) ...
  HRESULT STDMETHODCALLTYPE get_FeedURLs(BSTR* pBstr) override;
  HRESULT STDMETHODCALLTYPE put_FeedURLs(BSTR newVal) override;
  HRESULT STDMETHODCALLTYPE get_FeedRefreshRate(int* pRate) override;
  HRESULT STDMETHODCALLTYPE put_FeedRefreshRate(int newVal) override;
  HRESULT STDMETHODCALLTYPE get_DelayBetweenFeeds(int* pDelay) override;
  HRESULT STDMETHODCALLTYPE put_DelayBetweenFeeds(int newVal) override;
  HRESULT STDMETHODCALLTYPE get_SpeechSpeed(int* pSpeed) override;
  HRESULT STDMETHODCALLTYPE put_SpeechSpeed(int newVal) override;
  // ... and the typing (GadgetTyping.cpp)
  HRESULT STDMETHODCALLTYPE IncrementFeed() override;
  HRESULT STDMETHODCALLTYPE CursorBlink() override;
  HRESULT STDMETHODCALLTYPE AwakeFeed() override;

  // IPersist, IPersistStreamInit, ISpecifyPropertyPages (settings/GadgetSettings.cpp)
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  HRESULT STDMETHODCALLTYPE Load(IStream* stream) override;
  HRESULT STDMETHODCALLTYPE Save(IStream* stream, BOOL clearDirty) override;
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
  HRESULT STDMETHODCALLTYPE InitNew() override;
  HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pages) override;

  // IContextMenu (GadgetMenu.cpp)
  HRESULT STDMETHODCALLTYPE QueryContextMenu(HMENU menu, UINT index, UINT firstId, UINT lastId, UINT flags) override;
  HRESULT STDMETHODCALLTYPE InvokeCommand(CMINVOKECOMMANDINFO* command) override;
  HRESULT STDMETHODCALLTYPE GetCommandString(UINT_PTR id, UINT type, UINT* reserved, CHAR* name, UINT size) override;

  // IOleObject::Close: the host is done with the control. Its downloads end
  // here, and nothing after it (InitNew, Load, a new feed list) starts
  // another.
  HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;

  // IPluginCommand (GadgetHostCalls.cpp)
  HRESULT STDMETHODCALLTYPE OnCommand(LONG command) override;
  HRESULT STDMETHODCALLTYPE OnCommandAck(LONG) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnCommandQuery(LONG) override { return E_NOTIMPL; }

 protected:
  ~GadgetControl() override;
  void* FindInterface(REFIID iid) override;

  // Sets a timer of the message-only window. A seam: tests record periods.
  virtual void SetWindowTimer(UINT_PTR id, UINT periodMs);
  // Opens a web link with the shell (GadgetPointer.cpp). A seam: tests
  // record links.
  virtual void OpenLink(const std::u16string& link);

 private:
  friend struct GadgetControlTestProbe;
  friend class GadgetFeeds;
  friend class GadgetFeedStatus;
  friend class GadgetAccessible;

  // Every listed feed's last outcome, in list order, shared without a copy
  // (GadgetTyping.cpp).
  std::shared_ptr<const FeedOutcomeSnapshot> FeedOutcomes() const;
  // "Next headline" / "Previous headline" and the wheel: the record after
  // (before) the one on screen is typed from its start at once, or shown a
  // whole page at once while paused; a hold or wait ends, a pause stays
  // (GadgetTyping.cpp).
  void StepHeadline(bool forward);

  // OleControl hooks
  void OnDraw(HDC dc, const RECT& bounds, int dpi) override { DrawGadget(dc, bounds, dpi); }
  bool OnControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  HRESULT OnClientSiteSet() override;
  void OnFinalRelease() override;

  // ScreenHost (GadgetTyping.cpp)
  bool HasFetcher() const override { return fetcher_ != nullptr; }
  FeedItem NextItem() override;
  FeedItem PreviousItem() override;
  bool BeginNextScreenWait() override;
  bool BeginResumeWait() override;
  void EndWaits() override { waits_.EndAll(); }

  // The message-only window's messages (GadgetControl.cpp).
  LRESULT OnMessageWindowMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  // MSG_START: start both timers and hand the feed list to the fetcher.
  void OnStart();
  // TIMER_TYPING: one character, or a whole page with animations off
  // (GadgetTyping.cpp).
  void OnTypingTick();
  // Restarts TIMER_TYPING with the period of the current speed.
  void RestartTypingTimer();

  // Paints the gadget into `dc` within `bounds` at `dpi`; after a typing
  // tick, repaints what it changed and asks for that area only
  // (GadgetDrawing.cpp).
  void DrawGadget(HDC dc, const RECT& bounds, int dpi);
  void RedrawTyping();
  GadgetDrawingResources DrawingResources(int dpi);
  // The marker shown while paused, "< Paused >".
  std::u16string PausedText() const;

  // The control window's pointer messages (GadgetPointer.cpp).
  LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
  bool OnSetCursor(WPARAM wParam, LPARAM lParam);
  // Opens the link on screen as a click on the link bar does: a web link
  // only (GadgetPointer.cpp).
  void OpenCurrentLink();
  // The "Pause" item: pauses or resumes, and shows it at once (GadgetMenu.cpp).
  void PauseOrResume();

  // Keys and focus (GadgetKeyboard.cpp). Space pauses and resumes, Enter
  // opens the link, Right and Down show the next headline, Left and Up the
  // previous one, Shift+F10 and the menu key open the host's menu.
  bool OnKey(UINT msg, WPARAM key);
  // Asks the host for its menu as a keyboard would (WM_CONTEXTMENU at -1, -1).
  void OpenMenuFromKeyboard();
  // Focused, and keyboard cues are shown.
  bool ShowsFocusCue() const { return focused_ && focusCues_; }
  // WM_UPDATEUISTATE: the window's keyboard cues were shown or hidden.
  void OnUiState(WPARAM wParam);
  void DrawFocusCue(HDC dc, const RECT& bounds, int dpi) const;
  // WM_GETOBJECT: the accessible object, for the control's own window's
  // client or, forwarded by a windowless host, for its object id.
  bool OnGetObject(WPARAM wParam, LPARAM lParam, LRESULT& result);
  // Tells screen readers when the screen shows another headline.
  void NoteScreen();

  // Plug-in command 1 (GadgetHostCalls.cpp).
  HRESULT ShowAboutBox();

  // IDispatch of IQuorvaneRSSGadget, from the type library.
  TypeInfoDispatch dispatch_{IID_IQuorvaneRSSGadget};
  // IQuorvaneRSSFeeds.
  GadgetFeeds feeds_{*this};
  // IQuorvaneRSSFeedStatus.
  GadgetFeedStatus feedStatus_{*this};
  // IAccessible.
  GadgetAccessible accessible_{*this};
  // The headline screen readers were told of last (title and description).
  std::u16string announcedTitle_;
  std::u16string announcedText_;
  // The control has the keyboard focus (WM_SETFOCUS, WM_KILLFOCUS).
  bool focused_ = false;
  // Windows' convention for the focus rectangle: hidden until the keyboard
  // is used (a key comes, or the window's cues are shown), unless the user
  // asked to see keyboard cues always.
  bool focusCues_ = false;
  // Wheel movement not yet worth a whole step (WHEEL_DELTA per headline).
  int wheelRest_ = 0;
  // The settings: feedUrls, feedRefreshRateMs, delayBetweenFeedsMs, speechSpeed.
  GadgetSettingsRecord settings_;
  bool changedMark_ = false;  // unsaved changes (IsDirty)
  // currentItem, typedCount, needNewScreen, waitingForNextScreen,
  // screenFull, cursorOn, paused.
  TypingMachine machine_{*this};

  HCURSOR handCursor_ = nullptr;  // a shared system cursor: not destroyed
  UniqueFont bodyFont_;
  UniqueFont linkFont_;
  UniqueBitmap barBitmapTop_;
  UniqueBitmap barBitmapBottom_;
  // Fonts and strips for a dpi other than 96, and the dpi of the last
  // draw, which the pointer's link bar follows.
  GadgetDpiObjects dpiObjects_;
  int drawDpi_ = GadgetGeometry::kBaseDpi;
  // Line breaks of the texts shown lately: a redraw measures only lines it
  // has not laid out before. Keyed by the body font, which lives as long.
  LineBreakCache lineBreaks_;
  // How far the feed title's glyphs reach, for its underline.
  TextInkCache feedTitleInk_;
  // The gadget as last drawn, and the marker shown while paused.
  GdiGadgetFrame frame_;
  std::u16string pausedMarker_ = PausedText();
  OwnedWindow messageWindow_;
  std::unique_ptr<FeedFetcher> fetcher_;
  // stopEvent, closing, and every wait thread (nextScreenThread, resumeThread).
  WaitThreads waits_;
};

}  // namespace quorvane
