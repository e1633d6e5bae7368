// The window with a broker in its settings: a scan publishes the decoded
// values under the host's name, the status bar tells the connection, and
// closing the window ends with a clean "offline".
#include <QLabel>
#include <QTest>
#include <chrono>

#include "app/window/CommandIds.h"
#include "telemetry/LiveTelemetry.h"
#include "tests/app/window/WindowFixture.h"
#include "tests/support/QtTestApp.h"
#include "tests/telemetry/MosquittoBroker.h"
#include "tools/ecu-sim/EcuSimulator.h"
#include "tools/ecu-sim/ScenarioParser.h"

using namespace std::chrono_literals;

namespace {

const ::testing::Environment* const kApp = ::testing::AddGlobalTestEnvironment(new QtTestApp);

class WindowTelemetryTest : public WindowFixture {};

TEST_F(WindowTelemetryTest, AScanPublishesUnderTheHostNameAndTheStatusBarTellsTheConnection) {
  MosquittoBroker broker(folder_);
  std::string error;
  ASSERT_TRUE(broker.Start(&error)) << error;
  const std::string root = "varnak/" + DefaultTelemetryName();
  MqttSubscriber subscriber(broker.Port(), root + "/#");
  ASSERT_TRUE(subscriber.WaitSubscribed(5s));

  EcuScenario scenario;
  ASSERT_TRUE(
      loadScenarioFile(std::string(VARNAK_SOURCE_DIR) + "/examples/demo-ecu.scenario", scenario, error))
      << error;
  EcuSimulator simulator(std::move(scenario));
  ASSERT_TRUE(simulator.start(&error)) << error;
  MainWindow& w =
      Open("loadlastdef=0\nbroker=127.0.0.1:" + std::to_string(broker.Port()) + "\n", simulator.slavePath());
  ASSERT_TRUE(w.LoadDefinitionFile(std::string(VARNAK_SOURCE_DIR) + "/examples/demo-ecu.adx"));
  w.RunCommand(cmd::kScan);
  ASSERT_TRUE(WaitUntil([&] { return subscriber.Payloads(root + "/values").size() >= 5; }, 10000));
  auto* field = w.findChild<QLabel*>(QStringLiteral("telemetryStatus"));
  ASSERT_NE(field, nullptr);
  EXPECT_TRUE(
      WaitUntil([&] { return field->text().startsWith(QStringLiteral("telemetry connected")); }, 5000))
      << field->text().toStdString();
  const std::string message = subscriber.Payloads(root + "/values").back();
  EXPECT_EQ(message.rfind("{\"time\":", 0), 0u) << message;
  CloseInOrder();
  window_.reset();
  EXPECT_TRUE(subscriber.WaitFor(
      [&] {
        const auto s = subscriber.Payloads(root + "/status");
        return !s.empty() && s.back() == "offline";
      },
      5s));
  EXPECT_EQ(subscriber.Payloads(root + "/status").front(), "online");
}

}  // namespace
