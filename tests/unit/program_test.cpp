// The program from start to end: the message loop, shutdown, exit routines and fatal errors.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "app/program.h"
#include "banner_fixture.h"

namespace ledbanner::testing {
namespace {

pf::Hwnd FindBanner(pf::InMemoryWindowManager& wm) {
  for (const pf::Hwnd hwnd : wm.TopLevelWindows()) {
    if (wm.ClassName(hwnd) == u"LEDBanner.Window") {
      return hwnd;
    }
  }
  return 0;
}

// The banner window, top-level or locked under another window.
pf::Hwnd FindBannerAnywhere(pf::InMemoryWindowManager& wm) {
  if (const pf::Hwnd top = FindBanner(wm)) {
    return top;
  }
  for (const pf::Hwnd top : wm.TopLevelWindows()) {
    for (const pf::Hwnd child : wm.Children(top)) {
      if (wm.ClassName(child) == u"LEDBanner.Window") {
        return child;
      }
    }
  }
  return 0;
}

// Runs the whole program; `script` runs each time the loop finds nothing to do, with the number
// of that idle moment (0 first).
class ProgramRun {
 public:
  using Script = std::function<void(pf::InMemoryWindowManager&, int)>;
  explicit ProgramRun(Script script) : script_(std::move(script)) {
    wm.SetRunLimit(5000);
    wm.SetIdleHook([this] { script_(wm, idle_++); });
  }
  int Run() { return app::RunProgram(wm); }

  pf::InMemoryWindowManager wm;

 private:
  Script script_;
  int idle_ = 0;
};

// A script that acts once, at the first idle moment.
ProgramRun::Script Once(std::function<void(pf::InMemoryWindowManager&)> action) {
  return [action = std::move(action)](pf::InMemoryWindowManager& wm, int idle) {
    if (idle == 0) {
      action(wm);
    }
  };
}

TEST(Program, EscEndsTheProgramWithExitCodeZeroAndCleansUpOnce) {
  ProgramRun run(Once([](pf::InMemoryWindowManager& wm) { wm.PressKey(pf::VK_ESCAPE); }));
  EXPECT_EQ(run.Run(), 0);
  EXPECT_EQ(run.wm.LiveWindowCount(), 0U);
  EXPECT_EQ(run.wm.LiveGdiObjectCount(), 0U);
  EXPECT_EQ(run.wm.LiveDcCount(), 0U);
  EXPECT_EQ(run.wm.TimerCount(), 0U);
  EXPECT_EQ(run.wm.LoadedLibraryReferences(), 0);
  EXPECT_TRUE(run.wm.MessageBoxes().empty());
  EXPECT_EQ(run.wm.CurrentDirectory(), u"C:\\Program Files\\LED Banner");
}

TEST(Program, ShiftEscLeavesItRunning) {
  bool aliveAfterwards = false;
  ProgramRun run([&](pf::InMemoryWindowManager& wm, int idle) {
    if (idle == 0) {
      wm.PressKey(pf::VK_ESCAPE, pf::MOD_SHIFT);
    } else {
      aliveAfterwards = FindBanner(wm) != 0;
    }
  });
  EXPECT_THROW(run.Run(), pf::RunLimitReached);  // still scrolling when the test stops it
  EXPECT_TRUE(aliveAfterwards);
}

TEST(Program, ADestroyedWindowEndsTheProgramNormally) {
  ProgramRun run(Once([](pf::InMemoryWindowManager& wm) { wm.DestroyWindow(FindBanner(wm)); }));
  EXPECT_EQ(run.Run(), 0);
}

TEST(Program, CloseWhileLockedEndsNormally) {
  pf::Hwnd progman = 0;
  pf::Hwnd lockedBanner = 0;
  ProgramRun run([&](pf::InMemoryWindowManager& wm, int idle) {
    if (idle == 0) {
      progman = wm.CreateForeignWindow(u"Progman", u"Program Manager");
      wm.PressKey(pf::VK_F1);
    } else if (lockedBanner == 0 && wm.ParentOf(FindBannerAnywhere(wm)) == progman) {
      lockedBanner = FindBannerAnywhere(wm);
      wm.PostMessageW(lockedBanner, pf::WM_CLOSE, 0, 0);
    }
  });
  EXPECT_EQ(run.Run(), 0);
  EXPECT_NE(lockedBanner, 0U);
}

TEST(Program, ABannerThatCannotBeBuiltIsFatal) {
  pf::InMemoryWindowManager wm;
  wm.SetFailing("CreateWindowExW", true);
  try {
    app::RunProgram(wm);
    FAIL() << "RunProgram returned";
  } catch (const pf::ProcessExit& exit) {
    EXPECT_EQ(static_cast<int>(exit.code()), -1);
  }
  ASSERT_EQ(wm.MessageBoxes().size(), 1U);
  EXPECT_NE(wm.MessageBoxes()[0].type & pf::MB_ICONERROR, 0U);
}

TEST(Program, AMissingDeclaredFunctionIsFatalAndNamesIt) {
  ProgramRun run(Once([](pf::InMemoryWindowManager& wm) {
    wm.CreateForeignWindow(u"Progman", u"Program Manager");
    wm.CreateForeignWindow(u"WorkerW", u"");
    wm.RemoveExport("FindWindowExA");
    wm.PressKey(pf::VK_F1);
  }));
  placement::windowList.Clear();
  try {
    run.Run();
    FAIL() << "RunProgram returned";
  } catch (const pf::ProcessExit& exit) {
    EXPECT_EQ(static_cast<int>(exit.code()), -1);
  }
  ASSERT_EQ(run.wm.MessageBoxes().size(), 1U);
  const std::u16string& text = run.wm.MessageBoxes()[0].text;
  EXPECT_NE(text.find(u"FindWindowExA"), std::u16string::npos);
  EXPECT_NE(text.find(u"user32"), std::u16string::npos);
  // The snapshot that the lock took is still there: the exit routine did not run.
  EXPECT_GT(placement::windowList.Count(), 0U);
  placement::windowList.Clear();
}

TEST(Program, AMissingLibraryIsFatal) {
  ProgramRun run(Once([](pf::InMemoryWindowManager& wm) {
    wm.RemoveLibrary("user32");
    wm.PressKey(pf::VK_F2);
  }));
  EXPECT_THROW(run.Run(), pf::ProcessExit);
  ASSERT_EQ(run.wm.MessageBoxes().size(), 1U);
  EXPECT_NE(run.wm.MessageBoxes()[0].text.find(u"SetParent"), std::u16string::npos);
}

TEST(Program, MemoryThatCannotBeHadIsFatalAndSaysHowMuch) {
  ProgramRun run(Once([](pf::InMemoryWindowManager& /*wm*/) { app::ReportOutOfMemory(1048576); }));
  try {
    run.Run();
    FAIL() << "RunProgram returned";
  } catch (const pf::ProcessExit& exit) {
    EXPECT_EQ(static_cast<int>(exit.code()), -1);
  }
  ASSERT_EQ(run.wm.MessageBoxes().size(), 1U);
  EXPECT_EQ(run.wm.MessageBoxes()[0].text, u"Out of memory: 1048576 bytes could not be had.");
}

TEST(Runtime, ExitRoutinesRunOnceInOrderAndOnlyOnce) {
  static std::string order;
  order.clear();
  pf::InMemoryWindowManager wm;
  toolkit::Runtime runtime(wm);
  runtime.RegisterExitRoutine([] { order += "a"; });
  runtime.RegisterExitRoutine([] { order += "b"; });
  runtime.RunExitRoutines();
  runtime.RunExitRoutines();  // a second shutdown pass finds nothing left
  EXPECT_EQ(order, "ab");
}

TEST(Runtime, ARoutineRegisteredTwiceRunsOnce) {
  static int runs = 0;
  runs = 0;
  pf::InMemoryWindowManager wm;
  toolkit::Runtime runtime(wm);
  const toolkit::Runtime::ExitRoutine routine = [] { ++runs; };
  runtime.RegisterExitRoutine(routine);
  runtime.RegisterExitRoutine(routine);
  runtime.RunExitRoutines();
  EXPECT_EQ(runs, 1);
}

TEST(Runtime, FatalSkipsTheExitRoutines) {
  static int runs = 0;
  runs = 0;
  pf::InMemoryWindowManager wm;
  toolkit::Runtime runtime(wm);
  runtime.RegisterExitRoutine([] { ++runs; });
  EXPECT_THROW(runtime.Fatal(u"broken"), pf::ProcessExit);
  EXPECT_TRUE(runtime.EventsHeld());
  runtime.RunExitRoutines();
  EXPECT_EQ(runs, 0);
  ASSERT_EQ(wm.MessageBoxes().size(), 1U);
  EXPECT_EQ(wm.MessageBoxes()[0].text, u"broken");
}

TEST(Runtime, LoopReturnsAtOnceWhenTheWindowIsAlreadyGone) {
  pf::InMemoryWindowManager wm;
  Banner banner(wm);
  banner.Start();
  wm.DestroyWindow(banner.Form().Handle());
  EXPECT_EQ(banner.Runtime().RunMessageLoop(banner.Form()), 0);
}

}  // namespace
}  // namespace ledbanner::testing
