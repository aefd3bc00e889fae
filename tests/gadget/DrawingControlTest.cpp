// The gadget control draws itself through IViewObject::Draw as the drawing
// tests expect: typed text with the cursor, the bars from the module's
// bitmap 210, the outlines, and the paused text from the string table.
#include <windows.h>

#include <gtest/gtest.h>

#include "DrawingFixture.h"
#include "GadgetControlProbe.h"

namespace quorvane::test {
namespace {

using namespace quorvane::testing;
using Probe = GadgetControlTestProbe;

class DrawingControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    OleInitialize(nullptr);
    gadget_ = MakeGadget(control_);
    ASSERT_NE(gadget_, nullptr);
    ASSERT_TRUE(SUCCEEDED(control_.As(&view_)));
  }
  void TearDown() override {
    view_.Reset();
    control_.Reset();
    OleUninitialize();
  }

  HRESULT Draw(Canvas& canvas, const std::string& snapshot) {
    const RECTL bounds{0, 0, canvas.width(), canvas.height()};
    const HRESULT result = view_->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.dc(),
                                       &bounds, nullptr, nullptr, 0);
    canvas.Snapshot(snapshot);
    return result;
  }

  ComPtr<IUnknown> control_;
  ComPtr<IViewObject> view_;
  TimerRecordingGadget* gadget_ = nullptr;
};

TEST_F(DrawingControlTest, ViewDrawShowsTheTypedScreenTextInsideTheBars) {
  // The placeholder typed through the automation interface.
  ComPtr<IQuorvaneRSSGadget> automation;
  ASSERT_TRUE(SUCCEEDED(control_.As(&automation)));
  for (int i = 0; i < 4; ++i) automation->IncrementFeed();

  Canvas canvas(150, 90);
  ASSERT_EQ(Draw(canvas, "control_typed"), S_OK);
  EXPECT_EQ(TextAreaDifferences(canvas, Probe::BodyFont(*gadget_), L"Conn_ "), 0);
  for (int row = 1; row <= 14; ++row) {
    EXPECT_EQ(canvas.Pixel(1, row), Grey(kGradient[row])) << "title bar row " << row;
    EXPECT_EQ(canvas.Pixel(148, 74 + row), Grey(kGradient[row])) << "link bar row " << row;
  }
  for (const POINT p : {POINT{0, 0}, POINT{149, 15}, POINT{0, 74}, POINT{149, 89}}) {
    EXPECT_EQ(canvas.Pixel(p.x, p.y), kOutlineGrey) << p.x << "," << p.y;
  }

  // Paused: the string table's paused text, typed as far as the
  // description is (4 characters), the cursor in its off-phase.
  Probe::Machine(*gadget_).TogglePause();
  ASSERT_EQ(Draw(canvas, "control_paused"), S_OK);
  EXPECT_EQ(TextAreaDifferences(canvas, Probe::BodyFont(*gadget_), L"< Pa"), 0);
}

}  // namespace
}  // namespace quorvane::test
