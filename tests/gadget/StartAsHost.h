#pragma once
// How the tests start a gadget the way a host does.
#include <windows.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include <string>

#include "QuorvaneRSS_h.h"
#include "win/com/ComPtr.h"

namespace quorvane::test {

// The user's feed list, through the automation property.
inline void PutFeeds(IUnknown* control, const std::u16string& feeds) {
  ComPtr<IQuorvaneRSSGadget> automation;
  ASSERT_EQ(control->QueryInterface(IID_PPV_ARGS(&automation)), S_OK);
  UniqueBstr list(feeds);
  ASSERT_EQ(automation->put_FeedURLs(list.get()), S_OK);
}

// Settings initialised (InitNew), no wait between screens (the tests
// watch screens change), the typing speed when one is given, then the
// user's feed list.
inline void InitNewWithFeeds(IUnknown* control, const std::u16string& feeds, LONG speed = 0) {
  ComPtr<IPersistStreamInit> persist;
  ASSERT_EQ(control->QueryInterface(IID_PPV_ARGS(&persist)), S_OK);
  ASSERT_EQ(persist->InitNew(), S_OK);
  ComPtr<IQuorvaneRSSGadget> automation;
  ASSERT_EQ(control->QueryInterface(IID_PPV_ARGS(&automation)), S_OK);
  ASSERT_EQ(automation->put_DelayBetweenFeeds(0), S_OK);
  if (speed != 0) ASSERT_EQ(automation->put_SpeechSpeed(speed), S_OK);
  PutFeeds(control, feeds);
}

}  // namespace quorvane::test
