// A scan whose port fails under it says so and fails, instead of ending as
// if the user had stopped it; with a broker named it still scans.
#include "tests/acquisition/control/LinkFixture.h"
#include "tools/varnak-cli/CommandLineSession.h"

namespace {

class ScanHonestEndTest : public LinkTest {};

TEST_F(ScanHonestEndTest, APortThatVanishesFailsTheScan) {
  StartSimulator();
  const std::string adx = temp.File("ecu.adx");
  ASSERT_EQ(SaveAdx(&def, adx.c_str(), nullptr), 1);
  const std::string link = temp.File("ttyECU");
  std::filesystem::create_symlink(sim->slavePath(), link);
  ScanOptions options;
  options.definitionPath = adx;
  options.portPath = link;
  options.seconds = 20;
  // A broker that is not there costs nothing and changes no result.
  options.mqtt = "127.0.0.1:1";
  std::thread pull([&] {
    sim->waitForRequests(20, 10s);
    std::filesystem::remove(link);
    sim->stop();
  });
  std::FILE* err = std::tmpfile();
  const auto start = std::chrono::steady_clock::now();
  const int status = RunScanSession(options, std::atomic<bool>{false}, err);
  pull.join();
  EXPECT_EQ(status, 1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 15s);
  std::rewind(err);
  char text[4096] = {};
  const std::size_t n = std::fread(text, 1, sizeof text - 1, err);
  std::fclose(err);
  EXPECT_NE(std::string(text, n).find("The scan of " + link + " stopped: the link failed"), std::string::npos)
      << text;
}

}  // namespace
