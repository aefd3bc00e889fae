#pragma once
// A stand-in for the gadget's automation interface: holds the four
// settings as the page sees them and records every put, in order.
#include <string>
#include <vector>

#include "QuorvaneRSS_h.h"
#include "win/com/ComObject.h"
#include "win/com/ComPtr.h"

namespace quorvane::test {

class FakeGadget final : public ComObject, public IQuorvaneRSSGadget {
 public:
  explicit FakeGadget(IUnknown* outer) : ComObject(outer) {}
  QUORVANE_COM_IUNKNOWN

  std::u16string feedUrls = u"http://news.example/feed?output=rss";
  int refreshMinutes = 30;
  int delaySeconds = 0;
  int speed = 0;
  std::vector<std::u16string> puts;  // "Name=value"

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE get_FeedURLs(BSTR* value) override {
    *value = UniqueBstr(feedUrls).release();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_FeedURLs(BSTR value) override {
    feedUrls = UniqueBstr::Adopt(SysAllocStringLen(value, SysStringLen(value))).str();
    puts.push_back(u"FeedURLs=" + feedUrls);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_FeedRefreshRate(int* value) override { return Get(refreshMinutes, value); }
  HRESULT STDMETHODCALLTYPE put_FeedRefreshRate(int value) override {
    return Put(u"FeedRefreshRate", refreshMinutes, value);
  }
  HRESULT STDMETHODCALLTYPE get_DelayBetweenFeeds(int* value) override { return Get(delaySeconds, value); }
  HRESULT STDMETHODCALLTYPE put_DelayBetweenFeeds(int value) override {
    return Put(u"DelayBetweenFeeds", delaySeconds, value);
  }
  HRESULT STDMETHODCALLTYPE get_SpeechSpeed(int* value) override { return Get(speed, value); }
  HRESULT STDMETHODCALLTYPE put_SpeechSpeed(int value) override { return Put(u"SpeechSpeed", speed, value); }
  HRESULT STDMETHODCALLTYPE IncrementFeed() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE CursorBlink() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE AwakeFeed() override { return S_OK; }

 protected:
  void* FindInterface(REFIID iid) override {
    return LookUpInterface(iid, {{IID_IQuorvaneRSSGadget, static_cast<IQuorvaneRSSGadget*>(this)},
                                 {IID_IDispatch, static_cast<IDispatch*>(this)}});
  }

 private:
  static HRESULT Get(int field, int* value) {
    *value = field;
    return S_OK;
  }
  HRESULT Put(const char16_t* name, int& field, int value) {
    field = value;
    const std::string digits = std::to_string(value);
    puts.push_back(std::u16string(name) + u"=" + std::u16string(digits.begin(), digits.end()));
    return S_OK;
  }
};

}  // namespace quorvane::test
