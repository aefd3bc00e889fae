#pragma once
// The fixture of the tests that run the gadget control, statically linked,
// with its real fetcher against the local feed server: skipped without the
// server, made in an OLE apartment, the module's lock count noted first.
#include <windows.h>

#include <gtest/gtest.h>

#include "FeedServer.h"
#include "GadgetControlProbe.h"
#include "StartAsHost.h"
#include "win/com/Apartment.h"
#include "win/com/Module.h"

namespace quorvane::test {

class ServedGadgetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (FeedServer().empty()) GTEST_SKIP() << "QUORVANE_FEED_SERVER is not set";
    baseLocks_ = module::LockCount();
    gadget_ = MakeGadget(control_);
    ASSERT_NE(gadget_, nullptr);
  }
  void TearDown() override { control_.Reset(); }

  OleApartment apartment_;
  LONG baseLocks_ = 0;
  ComPtr<IUnknown> control_;
  TimerRecordingGadget* gadget_ = nullptr;
};

}  // namespace quorvane::test
