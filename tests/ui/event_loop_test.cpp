#include "ui/event_loop.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "device/device_seams.h"
#include "device/process_registry.h"
#include "tests/support/fake_clock.h"
#include "tests/support/recording_screen.h"
#include "tests/support/scripted_input.h"
#include "tests/support/test_environment.h"
#include "tests/support/ui_recorder.h"
#include "ui/skin.h"

namespace {

class EventLoopTest : public ::testing::Test {
 public:
  void SetUp() override {
    display.onFlush = [this] { log.push_back("flush"); };
    loop = GetEventLoop();
  }
  // One pass after this process has been the active one for a while, so
  // that only the pass's own events ask for a flush.
  void Settle() {
    loop->ProcessEvents();
    log.clear();
  }

  CFakeClock clock;
  CRecordingVirtualScreen display;
  CScriptedInputReader& input = TestInput();
  CEventLog log;
  CRecordingListener listener{log};
  CTestScreen screenA{log, "A"};
  CUIEventLoop* loop = nullptr;
};

// One pass of ProcessEvents for each situation the loop must tell apart.
TEST_F(EventLoopTest, PassCases) {
  struct Case {
    const char* name;
    bool becomesActive;  // the registry names this process for the first time
    bool withScreen;
    std::function<void(EventLoopTest&)> arrange;
    CEventLog expected;
  };
  const Case cases[] = {
      {"no screen: listener only, no input read", false, false, [](EventLoopTest& t) { t.input.Touch(1, 2, 3); },
       {"idle"}},
      {"touch true then key false: no flush", false, true,
       [](EventLoopTest& t) {
         t.input.Touch(10, 20, 1);
         t.input.Key(4);
         t.screenA.keyResult = false;
       },
       {"idle", "A touch 10,20,1", "A key 4"}},
      {"touch false then key true: flush", false, true,
       [](EventLoopTest& t) {
         t.input.Touch(10, 20, 0);
         t.input.Key(6);
         t.screenA.touchResult = false;
       },
       {"idle", "A touch 10,20,0", "A key 6", "flush"}},
      {"nothing read: no flush", false, true, [](EventLoopTest&) {}, {"idle"}},
      {"becoming active flushes without input", true, true, [](EventLoopTest&) {}, {"idle", "flush"}},
      {"becoming active, a handler says no", true, true,
       [](EventLoopTest& t) {
         t.input.NoTouch();
         t.input.Key(1);
         t.screenA.keyResult = false;
       },
       {"idle", "A key 1"}},
      {"redraw request: draw and flush", false, true, [](EventLoopTest& t) { t.loop->redrawRequested = true; },
       {"idle", "A draw", "flush"}},
      {"redraw request while quitting waits", false, true,
       [](EventLoopTest& t) {
         t.loop->redrawRequested = true;
         t.loop->quitRequested = true;
       },
       {"idle"}},
      {"redraw request without a screen waits", false, false,
       [](EventLoopTest& t) { t.loop->redrawRequested = true; }, {"idle"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetEventLoopForTesting();
    loop = GetEventLoop();
    input = CScriptedInputReader();
    screenA.touchResult = screenA.keyResult = true;
    if (!c.becomesActive) Settle();
    loop->listener = &listener;
    if (c.withScreen) loop->SetScreen(&screenA);
    c.arrange(*this);
    const bool quit = loop->quitRequested, redraw = loop->redrawRequested;
    log.clear();
    loop->ProcessEvents();
    EXPECT_EQ(c.expected, log);
    if (!c.withScreen) {
      EXPECT_EQ(0, input.touchReads + input.keyReads);
    }
    // A redraw that could not happen stays requested for later.
    EXPECT_EQ(redraw && (quit || !c.withScreen), loop->redrawRequested);
  }
}

TEST_F(EventLoopTest, BecomingActiveAgainFlushesOnce) {
  loop->SetScreen(&screenA);
  Settle();
  SetActivePid(getpid() + 1);  // another process takes the display
  loop->ProcessEvents();
  SetActivePid(getpid());  // and hands it back
  loop->ProcessEvents();
  loop->ProcessEvents();
  EXPECT_EQ((CEventLog{"flush"}), log);
}

TEST_F(EventLoopTest, RunDrawsFlushesAndSleepsFiftyMillisecondsAPass) {
  loop->SetScreen(&screenA);
  int passes = 0;
  listener.onIdle = [&](CUIEventLoop* l) {
    if (++passes == 3000) l->quitRequested = true;
  };
  loop->listener = &listener;
  loop->quitRequested = true;  // set by an outer level: cleared on entry
  loop->redrawRequested = true;
  loop->Run();
  EXPECT_EQ(3000, passes);
  EXPECT_EQ(3000, clock.Sleeps());
  EXPECT_EQ(int64_t{3000} * 50000, clock.SleptMicroseconds());
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ((CEventLog{"A draw", "flush", "idle"}), CEventLog(log.begin(), log.begin() + 3));
  // The request made before Run was cleared by it: one draw in all.
  EXPECT_EQ(1, std::count(log.begin(), log.end(), "A draw"));
}

// EndModal in a nested level: that pass does not redraw, the inner Run
// returns after its sleep, and the outer pass goes on with the restored
// screen, redrawing it in its own last step.
TEST_F(EventLoopTest, NestedModalRunEndsAndTheOuterPassGoesOn) {
  CTestScreen screenB(log, "B", 7);
  loop->SetScreen(&screenA);
  Settle();
  int idles = 0;
  listener.onIdle = [&](CUIEventLoop*) {
    if (++idles == 1) {
      log.push_back("B returns " + std::to_string(screenB.DoModal()));
    }
  };
  screenB.onKey = [&](int32_t&) {
    log.push_back("scheme " + std::to_string(GetSkin()->GetColorScheme()));
    screenB.result = 42;
    screenB.EndModal();
  };
  input.NoTouch();       // inner pass: no touch,
  input.Key(6);          // and B ends itself on a key
  input.Touch(5, 5, 1);  // the outer pass goes on with A
  loop->listener = &listener;
  GetSkin()->SetColorScheme(3);
  loop->ProcessEvents();
  const int64_t slept = clock.SleptMicroseconds();
  EXPECT_EQ((CEventLog{"idle", "B draw", "flush", "idle", "B key 6", "scheme 7", "flush", "B returns 42",
                       "A touch 5,5,1", "A draw", "flush"}),
            log);
  EXPECT_EQ(50000, slept);
  EXPECT_EQ(&screenA, loop->GetScreen());
  EXPECT_EQ(3, GetSkin()->GetColorScheme());
  EXPECT_FALSE(loop->quitRequested);
  EXPECT_FALSE(loop->redrawRequested);
}

// LeaveRun ends the innermost Run right after its idle listener: that pass
// reads no input, draws and flushes nothing and does not sleep; the caller
// below it goes on at once. RunDepth counts the Runs under way.
TEST_F(EventLoopTest, LeaveRunEndsTheInnerRunAfterItsListener) {
  CTestScreen screenB(log, "B");
  loop->SetScreen(&screenA);
  Settle();
  int idles = 0;
  listener.onIdle = [&](CUIEventLoop* l) {
    log.push_back("depth " + std::to_string(l->RunDepth()));
    if (++idles == 1) {
      screenB.DoModal();
      log.push_back("B left");
    } else if (idles == 3) {
      l->LeaveRun();
    }
  };
  input.NoTouch();
  input.Touch(7, 7, 1);  // read by the outer pass once B is left, not by B
  loop->listener = &listener;
  EXPECT_EQ(0, loop->RunDepth());
  loop->ProcessEvents();
  EXPECT_EQ((CEventLog{"idle", "depth 0", "B draw", "flush", "idle", "depth 1", "idle", "depth 1", "B left",
                       "A touch 7,7,1", "A draw", "flush"}),
            log);
  EXPECT_EQ(50000, clock.SleptMicroseconds()) << "the pass that left does not sleep";
  EXPECT_EQ(0, loop->RunDepth());
}

// ResumeRun goes on as a Run does after a nested modal run returned: the
// rest of the pass first, then its sleep and further passes.
TEST_F(EventLoopTest, ResumeRunFinishesThePassThenRunsPasses) {
  loop->SetScreen(&screenA);
  Settle();
  int idles = 0;
  listener.onIdle = [&](CUIEventLoop* l) {
    log.push_back("depth " + std::to_string(l->RunDepth()));
    if (++idles == 2) l->quitRequested = true;
  };
  loop->listener = &listener;
  loop->redrawRequested = true;
  input.Touch(3, 3, 1);
  loop->ResumeRun();
  EXPECT_EQ((CEventLog{"A touch 3,3,1", "A draw", "flush", "idle", "depth 1", "idle", "depth 1"}), log);
  EXPECT_EQ(3 * 50000, clock.SleptMicroseconds());
  EXPECT_EQ(0, loop->RunDepth());
}

TEST_F(EventLoopTest, NestedModalsRestoreScreenAndSchemeLevelByLevel) {
  CTestScreen screenB(log, "B", 5), screenC(log, "C", 9);
  loop->SetScreen(&screenA);
  GetSkin()->SetColorScheme(1);
  std::vector<std::string> seen;
  int idles = 0;
  listener.onIdle = [&](CUIEventLoop* l) {
    seen.push_back(std::to_string(GetSkin()->GetColorScheme()));
    switch (++idles) {
      case 1: screenB.DoModal(); break;  // A -> B
      case 2: screenC.DoModal(); break;  // B -> C
      case 3: screenC.EndModal(); break;
      case 4:
        EXPECT_EQ(&screenB, l->GetScreen());
        screenB.EndModal();
        break;
      default: break;
    }
  };
  loop->listener = &listener;
  loop->ProcessEvents();
  EXPECT_EQ((std::vector<std::string>{"1", "5", "9", "5"}), seen);
  EXPECT_EQ(&screenA, loop->GetScreen());
  EXPECT_EQ(1, GetSkin()->GetColorScheme());
  EXPECT_EQ(0, screenB.result);
}

TEST_F(EventLoopTest, ModalWithoutAPreviousScreenStaysInstalled) {
  int idles = 0;
  listener.onIdle = [&](CUIEventLoop*) {
    if (++idles == 1) screenA.EndModal();
  };
  loop->listener = &listener;
  EXPECT_EQ(0, screenA.DoModal());
  EXPECT_EQ(&screenA, loop->GetScreen());
  EXPECT_FALSE(loop->quitRequested);
  // EndModal asked for a redraw and nothing was restored to need one: it
  // stays pending for whoever runs next.
  EXPECT_TRUE(loop->redrawRequested);
}

}  // namespace
