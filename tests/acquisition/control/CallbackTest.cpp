// DAECallback on its own: every notification's log lines and effects, called
// directly as the engine and the playback thread would.
#include <gtest/gtest.h>

#include "acquisition/CollectingTextSink.h"
#include "acquisition/DataAcqEngine.h"
#include "acquisition/control/AcquisitionControl.h"
#include "acquisition/control/LogStopper.h"
#include "datalog/DataLogFile.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXValue.h"
#include "tests/acquisition/control/SessionFakes.h"
#include "tests/support/ResultPrinting.h"

namespace {

class StopperSpy : public ILogStopper {
 public:
  void StopFromPlaybackEnd() override { ++calls; }
  int calls = 0;
};

class CallbackTest : public ::testing::Test {
 protected:
  CallbackTest() : log(&sink), display(&log), control(def, engine, datalog, log, display, messages) {
    auto send = std::make_unique<ADXCSendCommand>();
    send->SetId("DATA");
    send->flags = kSendReadReply;
    send->replysize = 8;
    send->packetoffset = 2;
    send->packetsize = 4;
    data = send.get();
    def.Append(std::move(send));
    auto slow = std::make_unique<ADXC160BaudListen>();
    slow->SetId("SLOW");
    slow->packetsize = 3;
    listen = slow.get();
    def.Append(std::move(slow));
    auto v = std::make_unique<ADXValue>();
    v->SetId("V");
    v->SetEquation("X", 1);
    v->packetoffset = 1;
    v->parentcmdidhash = data->idhash;
    value = v.get();
    def.Append(std::move(v));
    auto s = std::make_unique<ADXValue>();
    s->SetId("S");
    s->SetEquation("X", 1);
    s->packetoffset = 2;
    s->parentcmdidhash = listen->idhash;
    slowValue = s.get();
    def.Append(std::move(s));
  }

  DAEStatusRecord Live(ADXObject* command, DaeStatus status = DAE_OK) {
    DAEStatusRecord r;
    r.command = command;
    r.commandIdHash = command != nullptr ? command->idhash : 0;
    r.SetStatus(status);
    return r;
  }
  std::vector<std::string> Lines() { return sink.Lines(); }
  std::string LastLine() {
    auto lines = sink.Lines();
    return lines.empty() ? std::string() : lines.back();
  }

  ADXDefinition def;
  DataAcqEngine engine;
  DataLogFile datalog;
  CollectingTextSink sink;
  QvDebugOutput log;
  FakeDisplay display;
  FakeMessages messages;
  AcquisitionControl control;
  ADXCSendCommand* data = nullptr;
  ADXC160BaudListen* listen = nullptr;
  ADXValue* value = nullptr;
  ADXValue* slowValue = nullptr;
};

TEST_F(CallbackTest, CommandLogLines) {
  DAECallback& cb = control.Callback();
  ADXCListenSilence silence;
  silence.silencelen = 25;
  DAEStatusRecord r = Live(&silence);
  cb.OnListenSilenceBegin(&r);
  cb.OnListenSilenceEnd(&r);
  r.SetStatus(DAE_TIMEOUT);
  cb.OnListenSilenceEnd(&r);
  r.SetStatus(DAE_OK);
  cb.OnListenChatterBegin(&r);
  cb.OnListenChatterEnd(&r);
  r.SetStatus(DAE_ABORTED);
  cb.OnListenChatterEnd(&r);
  cb.OnMacroBegin(&r);
  cb.OnMacroEnd(&r);
  cb.OnListen160BaudBegin(&r);
  cb.OnSendCommandBegin(&r);
  const std::uint8_t bytes[] = {'A', 0x01};
  cb.OnDataWritten(&r, bytes, 2);
  cb.OnDataRead(&r, bytes, 0);
  cb.OnDataRead(&r, bytes, 2);
  EXPECT_EQ(Lines(),
            (std::vector<std::string>{"Looking for 25 ms of silence...", "Silence found", "NO SILENCE FOUND",
                                      "Looking for chatter...", "Chatter found", "CHATTER NOT FOUND",
                                      "BEGIN MACRO", "END MACRO", "Listening for 160 baud packet", "Read",
                                      "0000: 41 01                                           A."}));
}

TEST_F(CallbackTest, GoodReplyIsDecodedKeptShownAndCounted) {
  const std::uint8_t reply[] = {0xF4, 0x92, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60};
  DAEStatusRecord r = Live(data);
  EXPECT_EQ(control.Callback().OnSendCommandEnd(&r, reply, sizeof reply), 0);

  EXPECT_TRUE(LastLine().find(": Command/Reply Success") != std::string::npos) << LastLine();
  // The packet is the four bytes from offset 2; V reads its byte 1.
  std::uint8_t last[300];
  ASSERT_EQ(control.Last().Copy(last, sizeof last), 4u);
  EXPECT_EQ(last[0], 0x10);
  EXPECT_EQ(last[3], 0x40);
  EXPECT_EQ(value->LastRaw(), 0x20);
  auto updates = display.Updates();
  ASSERT_EQ(updates.size(), 1u);
  EXPECT_EQ(updates[0].panes, kPaneAll);
  EXPECT_EQ(updates[0].packet, (std::vector<std::uint8_t>{0x10, 0x20, 0x30, 0x40}));
  EXPECT_EQ(updates[0].commandIdHash, data->idhash);
  EXPECT_EQ(control.SampleCount(), 1u);
  EXPECT_EQ(display.CountCalls("RefreshStatus"), 1u);
  // Not running: a good reply does not turn a stale connecting state into connected.
  control.SetConnectionState(Connecting);
  control.Callback().OnSendCommandEnd(&r, reply, sizeof reply);
  EXPECT_EQ(control.GetConnectionState(), Connecting);
}

TEST_F(CallbackTest, ItemsAfterPacketSizeButInsideTheReplyAreDecoded) {
  // The packet is 4 bytes from offset 2 of an 8-byte reply; an item at packet
  // offset 5 lies after packetsize but inside the reply.
  auto far = std::make_unique<ADXValue>();
  far->SetId("FAR");
  far->SetEquation("X", 1);
  far->packetoffset = 5;
  far->parentcmdidhash = data->idhash;
  ADXValue* farValue = far.get();
  def.Append(std::move(far));
  auto beyond = std::make_unique<ADXValue>();
  beyond->SetId("BEYOND");
  beyond->SetEquation("X", 1);
  beyond->packetoffset = 6;  // reply offset 8: outside the reply
  beyond->parentcmdidhash = data->idhash;
  beyond->SetLastRaw(77);
  ADXValue* beyondValue = beyond.get();
  def.Append(std::move(beyond));

  const std::uint8_t reply[] = {0xF4, 0x92, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60};
  DAEStatusRecord r = Live(data);
  control.Callback().OnSendCommandEnd(&r, reply, sizeof reply);
  EXPECT_EQ(farValue->LastRaw(), 0x60);
  EXPECT_EQ(beyondValue->LastRaw(), 77);
  // The last packet and the panes keep packetsize.
  EXPECT_EQ(control.Last().Length(), 4u);
  ASSERT_EQ(display.Updates().size(), 1u);
  EXPECT_EQ(display.Updates()[0].packet.size(), 4u);

  // A replayed reply decodes the same way.
  DAEStatusRecord replayed;
  replayed.source = 1;
  replayed.commandIdHash = data->idhash;
  const std::uint8_t later[] = {0xF4, 0x92, 1, 2, 3, 4, 5, 0x66};
  control.Callback().OnSendCommandEnd(&replayed, later, sizeof later);
  EXPECT_EQ(farValue->LastRaw(), 0x66);
}

TEST_F(CallbackTest, PacketCopyStaysWithinReplyAndBuffer) {
  DAEStatusRecord r = Live(data);
  // Shorter than offset + size: only what the reply holds.
  const std::uint8_t shortReply[] = {1, 2, 3};
  control.Callback().OnSendCommandEnd(&r, shortReply, sizeof shortReply);
  EXPECT_EQ(control.Last().Length(), 1u);
  // No buffer at all.
  control.Callback().OnSendCommandEnd(&r, nullptr, 40);
  EXPECT_EQ(control.Last().Length(), 0u);
  // A huge declared packet keeps 300 bytes.
  data->packetoffset = 0;
  data->packetsize = 100000;
  std::vector<std::uint8_t> big(5000, 0xAB);
  control.Callback().OnSendCommandEnd(&r, big.data(), static_cast<std::uint32_t>(big.size()));
  EXPECT_EQ(control.Last().Length(), 300u);
  // An offset beyond the reply gives an empty packet.
  data->packetoffset = 9000;
  control.Callback().OnSendCommandEnd(&r, big.data(), 10);
  EXPECT_EQ(control.Last().Length(), 0u);
}

TEST_F(CallbackTest, FailuresCountAndFlashOnlyWhileConnected) {
  DAEStatusRecord r = Live(data, DAE_READ_SHORT);
  control.Callback().OnSendCommandEnd(&r, nullptr, 0);
  EXPECT_TRUE(LastLine().find(": !!!!!!SEND COMMAND FAILURE (0x00000006)!!!!!!") != std::string::npos);
  EXPECT_EQ(control.ErrorCount(), 0);
  EXPECT_EQ(display.CountCalls("Flash"), 0u);
  control.SetConnectionState(Connected);
  control.Callback().OnSendCommandEnd(&r, nullptr, 0);
  EXPECT_EQ(control.ErrorCount(), 1);
  EXPECT_EQ(display.CountCalls("Flash ALDL Data Error! 0 255 500"), 1u);
  EXPECT_EQ(display.PacketUpdates(), 0u);

  data->flags = 0;
  r.SetStatus(DAE_OK);
  control.Callback().OnSendCommandEnd(&r, nullptr, 0);
  EXPECT_TRUE(LastLine().find(": Command sent. Reply not processed.") != std::string::npos);
  EXPECT_EQ(control.SampleCount(), 3u);
}

TEST_F(CallbackTest, BadChecksumAndOversizedCommandsAreDataErrorsNeverDecoded) {
  const std::uint8_t reply[] = {0xF4, 0x92, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60};
  ASSERT_EQ(datalog.Open((::testing::TempDir() + "/checksum.xdl").c_str(), false), XDL_OK);
  XdlEntry entry;
  entry.commandIdHash = data->idhash;
  entry.storedSize = entry.fullSize = 8;
  ASSERT_EQ(datalog.AddEntry(entry), XDL_OK);
  ASSERT_EQ(datalog.StartRecording(), XDL_OK);
  control.SetConnectionState(Connected);

  DAEStatusRecord r = Live(data, DAE_BAD_CHECKSUM);
  control.Callback().OnSendCommandEnd(&r, reply, sizeof reply);
  EXPECT_TRUE(LastLine().find(": !!!!!!REPLY CHECKSUM ERROR!!!!!!") != std::string::npos) << LastLine();
  EXPECT_EQ(value->LastRaw(), 0);
  EXPECT_EQ(control.ErrorCount(), 1);
  EXPECT_EQ(display.CountCalls("Flash ALDL Data Error!"), 1u);
  EXPECT_EQ(display.PacketUpdates(), 0u);
  EXPECT_EQ(control.Last().Length(), 0u);

  data->replysize = 70000;
  r.SetStatus(DAE_SIZE_LIMIT);
  control.Callback().OnSendCommandEnd(&r, nullptr, 0);
  EXPECT_TRUE(LastLine().find(": DATA: reply size 70000 is beyond 65535 bytes; command not sent") !=
              std::string::npos)
      << LastLine();
  EXPECT_EQ(control.ErrorCount(), 2);

  listen->packetsize = 70000;
  DAEStatusRecord slow = Live(listen, DAE_SIZE_LIMIT);
  control.Callback().OnListen160BaudEnd(&slow, nullptr, 0);
  EXPECT_EQ(LastLine(), "SLOW: packet size 70000 is beyond 65535 bytes; packet not read");
  EXPECT_EQ(control.ErrorCount(), 3);

  // Nothing of it was recorded.
  ASSERT_EQ(datalog.StopRecording(), XDL_OK);
  EXPECT_EQ(datalog.RecordCount(), 0u);
  datalog.Close();
}

TEST_F(CallbackTest, TwoHundredFirstCompletionClearsTheLogFirst) {
  DAEStatusRecord r = Live(data);
  data->flags = 0;
  for (int i = 0; i < 200; ++i) control.Callback().OnSendCommandEnd(&r, nullptr, 0);
  EXPECT_EQ(sink.LineCount(), 200u);
  EXPECT_EQ(display.CountCalls("ClearOutputLog"), 0u);
  control.Callback().OnSendCommandEnd(&r, nullptr, 0);
  EXPECT_EQ(sink.LineCount(), 1u);
  EXPECT_EQ(display.CountCalls("ClearOutputLog"), 1u);
  // The clearing completion is not counted: 201 more lines stand before the next clear.
  for (int i = 0; i < 200; ++i) control.Callback().OnSendCommandEnd(&r, nullptr, 0);
  EXPECT_EQ(sink.LineCount(), 201u);
  control.Callback().OnSendCommandEnd(&r, nullptr, 0);
  EXPECT_EQ(display.CountCalls("ClearOutputLog"), 2u);
  EXPECT_EQ(sink.LineCount(), 1u);
}

TEST_F(CallbackTest, ReplayUsesTheDefinitionsCommand) {
  // The playback thread's stand-in has offset 0 and the whole reply as packet.
  ADXCSendCommand standIn;
  standIn.flags = kSendReadReply;
  standIn.packetsize = 8;
  DAEStatusRecord r;
  r.source = 1;
  r.command = &standIn;
  r.commandIdHash = data->idhash;
  const std::uint8_t reply[] = {0, 0, 0x11, 0x22, 0x33, 0x44, 0, 0};
  EXPECT_EQ(control.Callback().OnSendCommandEnd(&r, reply, sizeof reply), 0);
  auto updates = display.Updates();
  ASSERT_EQ(updates.size(), 1u);
  EXPECT_EQ(updates[0].packet, (std::vector<std::uint8_t>{0x11, 0x22, 0x33, 0x44}));
  EXPECT_EQ(updates[0].time, 0.0);  // the log's record time (no log open)
  EXPECT_EQ(value->LastRaw(), 0x22);

  r.commandIdHash = 0xDEADBEEF;
  EXPECT_EQ(control.Callback().OnSendCommandEnd(&r, reply, sizeof reply), E_FAIL);
  EXPECT_EQ(LastLine(), "Log playback: Command not found in def. Wrong definition?");
  // A hash that names a command of the other kind is just as wrong.
  r.commandIdHash = listen->idhash;
  EXPECT_EQ(control.Callback().OnSendCommandEnd(&r, reply, sizeof reply), E_FAIL);
  EXPECT_EQ(control.Callback().OnListen160BaudEnd(&r, reply, 3), 0);
  r.commandIdHash = 0xDEADBEEF;
  EXPECT_EQ(control.Callback().OnListen160BaudEnd(&r, reply, 3), E_FAIL);
  EXPECT_EQ(display.PacketUpdates(), 2u);
}

TEST_F(CallbackTest, SlowPacketsDecodeCountAndReport) {
  const std::uint8_t packet[] = {0x01, 0x02, 0x77};
  DAEStatusRecord r = Live(listen);
  EXPECT_EQ(control.Callback().OnListen160BaudEnd(&r, packet, 3), 0);
  EXPECT_EQ(LastLine(), "160 baud packet acquired");
  EXPECT_EQ(slowValue->LastRaw(), 0x77);  // items of the listen command decode from it
  EXPECT_EQ(display.PacketUpdates(), 1u);

  r.SetStatus(DAE_BYTE_ERROR);
  control.Callback().OnListen160BaudEnd(&r, packet, 2);
  EXPECT_EQ(LastLine(), "Data errors detected!");
  EXPECT_EQ(control.ErrorCount(), 1);  // counted in every state
  EXPECT_EQ(display.CountCalls("Flash"), 0u);
  EXPECT_EQ(control.Last().Length(), 2u);  // kept after an error too

  control.SetConnectionState(Connected);
  control.Callback().OnListen160BaudEnd(&r, packet, 2);
  EXPECT_EQ(display.CountCalls("Flash Data Byte Error! 0 255 500"), 1u);
  r.SetStatus(DAE_NO_SYNC);
  control.Callback().OnListen160BaudEnd(&r, nullptr, 5);  // no buffer: nothing copied
  EXPECT_EQ(LastLine(), "160 BAUD PACKET ERROR");
  EXPECT_EQ(control.ErrorCount(), 2);
  EXPECT_EQ(display.CountCalls("Flash Packet Error! 0 255 500"), 1u);
  EXPECT_EQ(control.Last().Length(), 2u);
  EXPECT_EQ(display.PacketUpdates(), 1u);
  EXPECT_EQ(control.SampleCount(), 4u);
}

TEST_F(CallbackTest, TriggerAndPlaybackNotifications) {
  ADXCTrigger trigger;
  trigger.SetId("TRIG");
  trigger.triggertype = kTriggerHistograms | kTriggerMonitors;
  DAEStatusRecord r = Live(&trigger);
  control.Callback().OnTrigger(&r);
  auto updates = display.Updates();
  ASSERT_EQ(updates.size(), 1u);
  EXPECT_EQ(updates[0].panes, kPaneHistograms | kPaneMonitors);
  EXPECT_FALSE(updates[0].hasPacket);
  EXPECT_EQ(updates[0].commandIdHash, trigger.idhash);

  StopperSpy stopper;
  control.SetLogStopper(&stopper);
  control.Callback().OnPlaybackProgress(2500, 17);
  EXPECT_EQ(control.Callback().OnSeekBegin(5, 1), 0);
  control.Callback().OnSeekEnd();
  control.Callback().OnPlaybackEnded();
  EXPECT_EQ(stopper.calls, 1);
  auto calls = display.Calls();
  ASSERT_GE(calls.size(), 4u);
  EXPECT_EQ(calls[1], "Cursor 2.500000");
  EXPECT_EQ(calls[2], "Slider 17");
  EXPECT_EQ(calls[3], "Cursor 0.000000");
  control.SetLogStopper(nullptr);
}

}  // namespace
