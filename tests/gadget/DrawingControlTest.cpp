// The gadget control draws itself through IViewObject::Draw as the drawing
// tests expect: typed text with the cursor, the bars from the module's
// bitmap 210, the outlines, and the paused text from the string table.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "DrawingFixture.h"
#include "GadgetControlProbe.h"
#include "TestContainer.h"
#include "win/com/Apartment.h"

namespace quorvane::test {
namespace {

using namespace quorvane::testing;
using Probe = GadgetControlTestProbe;

class DrawingControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gadget_ = MakeGadget(control_);
    ASSERT_NE(gadget_, nullptr);
    ASSERT_TRUE(SUCCEEDED(control_.As(&view_)));
  }
  void TearDown() override {
    view_.Reset();
    control_.Reset();
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
  // Last: joined after the other members are made, left before they go.
  OleApartment apartment_;
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

  // Paused: the typed text stays, without the cursor; the string table's
  // marker goes to the title bar.
  Probe::Machine(*gadget_).TogglePause();
  ASSERT_EQ(Draw(canvas, "control_paused"), S_OK);
  EXPECT_EQ(TextAreaDifferences(canvas, Probe::BodyFont(*gadget_), L"Conn"), 0);
}

TEST_F(DrawingControlTest, TypingTicksRepaintTheControlsWindow) {
  TestContainer container;  // places the control at 160 x 100
  ASSERT_EQ(container.Embed(control_.Get()), S_OK);
  ASSERT_EQ(container.Activate(), S_OK);
  ComPtr<IOleWindow> oleWindow;
  ASSERT_EQ(control_.As(&oleWindow), S_OK);
  HWND window = nullptr;
  ASSERT_EQ(oleWindow->GetWindow(&window), S_OK);

  // What the window shows, read back from its device context.
  const auto capture = [&](const std::string& snapshot) {
    auto canvas = std::make_unique<Canvas>(160, 100);
    HDC dc = GetDC(window);
    BitBlt(canvas->dc(), 0, 0, 160, 100, dc, 0, 0, SRCCOPY);
    ReleaseDC(window, dc);
    canvas->Snapshot(snapshot);
    return canvas;
  };

  const HWND messageWindow = Probe::MessageWindow(*gadget_);
  for (const auto& [ticks, shown] : {std::pair{1, L"C_ "}, std::pair{6, L"Connec_ "}}) {
    for (int sent = 0; Probe::Machine(*gadget_).TypedCount() < ticks; ++sent) {
      ASSERT_LT(sent, 100) << "the typing timer's ticks type nothing";
      SendMessageW(messageWindow, WM_TIMER, TIMER_TYPING, 0);
    }
    UpdateWindow(window);  // the redraw asked for by the tick
    const auto canvas = capture("control_window_" + std::to_string(ticks));
    EXPECT_EQ(TextAreaDifferences(*canvas, Probe::BodyFont(*gadget_), shown), 0) << ticks << " ticks";
    EXPECT_EQ(canvas->Pixel(0, 0), kOutlineGrey);
    EXPECT_EQ(canvas->Pixel(159, 99), kOutlineGrey);
  }
  container.Close();
}

// Windows' "Show animations" turned off for this process's session: a tick
// shows the page whole instead of typing a character.
TEST_F(DrawingControlTest, WithAnimationsOffATickShowsThePageWhole) {
  BOOL shown = TRUE;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETCLIENTAREAANIMATION, 0, &shown, 0));
  ASSERT_TRUE(SystemParametersInfoW(SPI_SETCLIENTAREAANIMATION, 0, reinterpret_cast<void*>(FALSE), 0));
  struct Restore {
    BOOL shown;
    ~Restore() { SystemParametersInfoW(SPI_SETCLIENTAREAANIMATION, 0, reinterpret_cast<void*>(INT_PTR{shown}), 0); }
  } restore{shown};

  SendMessageW(Probe::MessageWindow(*gadget_), WM_TIMER, TIMER_TYPING, 0);
  Canvas canvas(150, 90);
  ASSERT_EQ(Draw(canvas, "control_whole_page"), S_OK);
  EXPECT_EQ(TextAreaDifferences(canvas, Probe::BodyFont(*gadget_), L"Connecting_ "), 0);
}

}  // namespace
}  // namespace quorvane::test
