// The built varnak-cli import command: exit codes, the one-line summary and
// the refusal to replace an existing file.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kExample = std::string(VARNAK_SOURCE_DIR) + "/examples/legacy/ecu8192_tbi_v8_format110.ads";

struct CliResult {
  int code = -1;
  std::string out;
  std::string err;
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

class ImportCli : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "varnak-import-cli-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  CliResult Import(const std::vector<std::string>& args) {
    std::string command = Quoted(VARNAK_CLI) + " import";
    for (const std::string& a : args) command += " " + Quoted(a);
    command += " >" + Quoted(dir_ + "/stdout") + " 2>" + Quoted(dir_ + "/stderr");
    CliResult r;
    const int status = std::system(command.c_str());
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = Slurp(dir_ + "/stdout");
    r.err = Slurp(dir_ + "/stderr");
    return r;
  }

  std::string dir_;
};

}  // namespace

TEST_F(ImportCli, ConvertsOnceAndReplacesOnlyWhenForced) {
  const std::string out = dir_ + "/tbi.adx";
  CliResult first = Import({kExample, out});
  EXPECT_EQ(first.code, 0) << first.err;
  EXPECT_EQ(first.out, out + ": 1 command, 4 values, 2 bits, 1 table converted\n");
  EXPECT_EQ(first.err, "");
  const std::string written = Slurp(out);
  EXPECT_NE(written.find("<ADXFORMAT"), std::string::npos);

  CliResult again = Import({kExample, out});
  EXPECT_EQ(again.code, 1);
  EXPECT_EQ(again.out, "");
  EXPECT_NE(again.err.find("already exists"), std::string::npos) << again.err;

  std::ofstream(out, std::ios::binary) << "older";
  CliResult forced = Import({"--force", kExample, out});
  EXPECT_EQ(forced.code, 0) << forced.err;
  EXPECT_EQ(Slurp(out).substr(0, 10), written.substr(0, 10));
}

TEST_F(ImportCli, FailuresAndWrongUsage) {
  CliResult missing = Import({dir_ + "/none.ads", dir_ + "/out.adx"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.err.find("none.ads"), std::string::npos) << missing.err;
  EXPECT_FALSE(fs::exists(dir_ + "/out.adx"));

  EXPECT_EQ(Import({kExample}).code, 2);
  EXPECT_EQ(Import({kExample, dir_ + "/a.adx", dir_ + "/b.adx"}).code, 2);
  CliResult option = Import({kExample, dir_ + "/a.adx", "--overwrite"});
  EXPECT_EQ(option.code, 2);
  EXPECT_NE(option.err.find("--overwrite"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir_ + "/a.adx"));
}
