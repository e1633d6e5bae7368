#include <atomic>
#include <thread>

#include "tests/acquisition/EngineFixture.h"

namespace {

// The trigger ids seen by the callback, in order.
std::vector<std::string> TriggerIds(const RecordingCallback& callback) {
  std::vector<std::string> ids;
  for (const auto& e : callback.events) {
    if (e.name == "Trigger") ids.emplace_back(e.command->id);
  }
  return ids;
}

TEST_F(EngineTest, TriggerReportsToTheCallback) {
  ADXCTrigger* trigger = Trigger("t");
  callback.results["Trigger"] = 4;
  EXPECT_EQ(engine.Execute(trigger), 4);
  ASSERT_EQ(callback.Names(), std::vector<std::string>{"Trigger"});
  EXPECT_EQ(callback.Last().command, trigger);
  EXPECT_EQ(callback.Last().status, DAE_OK);
}

TEST_F(EngineTest, MacroRunsItsStepsWithTheirRepeatCounts) {
  ADXMacro* macro = Macro("m", 2);
  AddStep(macro, Trigger("a"), 3);
  MacroNode empty;  // an entry without a command is skipped
  macro->AppendNode(empty);
  AddStep(macro, Trigger("b"));
  AddStep(macro, Trigger("never"), 0);
  EXPECT_EQ(engine.Execute(macro), 0);
  EXPECT_EQ(TriggerIds(callback), (std::vector<std::string>{"a", "a", "a", "b", "a", "a", "a", "b"}));
  EXPECT_EQ(callback.events.front().name, "MacroBegin");
  EXPECT_EQ(callback.events.front().command, macro);
  EXPECT_EQ(callback.Last().name, "MacroEnd");
  EXPECT_EQ(callback.Last().command, macro);
}

TEST_F(EngineTest, MacroWithoutRunsStillNotifies) {
  ADXMacro* zero = Macro("zero", 0);
  AddStep(zero, Trigger("a"));
  EXPECT_EQ(engine.Execute(zero), 0);
  EXPECT_EQ(callback.Names(), (std::vector<std::string>{"MacroBegin", "MacroEnd"}));

  // No entries at all: only the end notification.
  callback.events.clear();
  callback.results["MacroEnd"] = 9;
  EXPECT_EQ(engine.Execute(Macro("none")), 9);
  EXPECT_EQ(callback.Names(), std::vector<std::string>{"MacroEnd"});

  // A refusing begin notification cancels the macro.
  callback.events.clear();
  callback.results["MacroBegin"] = -4;
  EXPECT_EQ(engine.Execute(zero), -4);
  EXPECT_EQ(callback.Names(), std::vector<std::string>{"MacroBegin"});
}

TEST_F(EngineTest, MacroBreakFlags) {
  // Break on failure: the second run of "bad" fails and ends the macro.
  ADXMacro* macro = Macro("m");
  AddStep(macro, Trigger("ok"));
  AddStep(macro, Trigger("bad"), 3, kNodeBreakOnFailure);
  AddStep(macro, Trigger("after"));
  callback.results["Trigger@3"] = -1;
  callback.results["MacroEnd"] = 6;
  EXPECT_EQ(engine.Execute(macro), 6);
  EXPECT_EQ(TriggerIds(callback), (std::vector<std::string>{"ok", "bad", "bad"}));
  EXPECT_EQ(callback.Last().status, DAE_MACRO_BREAK_FAILURE);

  // A failing step without the flag does not stop the macro.
  callback = RecordingCallback();
  engine.SetCallback(&callback);
  ADXMacro* tolerant = Macro("t");
  AddStep(tolerant, Trigger("bad"));
  AddStep(tolerant, Trigger("after"));
  callback.results["Trigger@1"] = -1;
  EXPECT_EQ(engine.Execute(tolerant), 0);
  EXPECT_EQ(TriggerIds(callback), (std::vector<std::string>{"bad", "after"}));

  // Break on success: the first good run ends the macro.
  callback = RecordingCallback();
  engine.SetCallback(&callback);
  ADXMacro* seek = Macro("s", 5);
  AddStep(seek, Trigger("try"), 4, kNodeBreakOnSuccess);
  AddStep(seek, Trigger("after"));
  callback.results["Trigger@1"] = -1;
  callback.results["Trigger@2"] = -1;
  EXPECT_EQ(engine.Execute(seek), 0);
  EXPECT_EQ(TriggerIds(callback), (std::vector<std::string>{"try", "try", "try"}));
  EXPECT_EQ(callback.Last().status, DAE_MACRO_BREAK_SUCCESS);
}

TEST_F(EngineTest, MacroEndSeesTheLastStepStatus) {
  ADXMacro* macro = Macro("m");
  AddStep(macro, Trigger("t"));
  AddStep(macro, Chatter({0xA1, 0xB2}, 100));  // times out on the quiet line
  EXPECT_EQ(engine.Execute(macro), 0);
  EXPECT_EQ(callback.Last().name, "MacroEnd");
  EXPECT_EQ(callback.Last().status, DAE_TIMEOUT);
  EXPECT_EQ(callback.Last().command, macro);
}

TEST_F(EngineTest, StopRequestBetweenMacroSteps) {
  ADXMacro* macro = Macro("m", 3);
  AddStep(macro, Trigger("a"));
  AddStep(macro, Trigger("b"));
  callback.hook = [&](const CallbackEvent& e) {
    if (e.name == "Trigger") engine.RequestAbort();
  };
  EXPECT_EQ(engine.Execute(macro), 0);
  EXPECT_EQ(TriggerIds(callback), std::vector<std::string>{"a"});
  EXPECT_EQ(callback.Last().status, DAE_ABORTED);
}

TEST_F(EngineTest, StopTakenByANestedSendDoesNotEndTheMacro) {
  ADXMacro* macro = Macro("m");
  AddStep(macro, Send("req", {0x01}, 1, kSendReadReply, 1000));
  AddStep(macro, Trigger("after"));
  callback.hook = [&](const CallbackEvent& e) {
    if (e.name == "SendBegin") engine.RequestAbort();
  };
  EXPECT_EQ(engine.Execute(macro), 0);
  EXPECT_EQ(TriggerIds(callback), std::vector<std::string>{"after"});
  EXPECT_EQ(callback.events[2].name, "SendEnd");
  EXPECT_EQ(callback.events[2].status, DAE_ABORTED);
}

TEST_F(EngineTest, StopDuringAChatterWaitEndsTheMacro) {
  std::atomic<bool> stop{false};
  std::thread noise([&] {
    while (!stop.load()) {
      peer.Write({0x33});
      std::this_thread::sleep_for(5ms);
    }
  });
  ADXMacro* macro = Macro("m", 100);
  AddStep(macro, Chatter({0xA1, 0xB2}, 5000));
  AddStep(macro, Trigger("after"));
  std::thread stopper([&] {
    std::this_thread::sleep_for(150ms);
    engine.RequestAbort();
  });
  auto start = Clock::now();
  EXPECT_EQ(engine.Execute(macro), 0);
  double ms = MsSince(start);
  stopper.join();
  stop.store(true);
  noise.join();
  EXPECT_LT(ms, 1500.0);
  EXPECT_TRUE(TriggerIds(callback).empty());
  EXPECT_EQ(callback.Last().name, "MacroEnd");
  EXPECT_EQ(callback.Last().status, DAE_ABORTED);
}

TEST_F(EngineTest, MacroThatContainsItselfFailsInsteadOfRecursing) {
  ADXMacro* macro = Macro("loop");
  AddStep(macro, Trigger("t"));
  AddStep(macro, macro, 1, kNodeBreakOnFailure);
  EXPECT_EQ(engine.Execute(macro), 0);
  EXPECT_EQ(TriggerIds(callback).size(), static_cast<std::size_t>(DataAcqEngine::kMaxMacroDepth));
  EXPECT_EQ(callback.Last().name, "MacroEnd");
  EXPECT_EQ(callback.Last().status, DAE_MACRO_BREAK_FAILURE);
}

}  // namespace
