// Every program of the project answers --help and --version without a
// display and without side effects, and calls an unknown option wrong usage.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct ProgramRun {
  int code = -1;
  std::string out;
  std::string err;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class ProgramHelp : public ::testing::Test {
 protected:
  ProgramHelp() {
    std::string pattern = (std::filesystem::temp_directory_path() / "varnak-help-XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
  }
  ~ProgramHelp() override { std::filesystem::remove_all(dir_); }

  // Runs the program in an empty folder without a display or a chosen Qt
  // platform, as on a server or over ssh.
  ProgramRun Program(const std::string& program, const std::string& arg) {
    const std::string command = "cd '" + dir_ +
                                "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" + program +
                                "' " + arg + " >'" + dir_ + "/.out' 2>'" + dir_ + "/.err' </dev/null";
    ProgramRun r;
    const int status = std::system(command.c_str());
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = ReadFile(dir_ + "/.out");
    r.err = ReadFile(dir_ + "/.err");
    std::filesystem::remove(dir_ + "/.out");
    std::filesystem::remove(dir_ + "/.err");
    return r;
  }
  // The folder stays empty: nothing was written.
  bool Untouched() const { return std::filesystem::is_empty(dir_); }

  std::string dir_;
};

TEST_F(ProgramHelp, EveryProgramAnswersHelpVersionAndWrongUsage) {
  const std::vector<std::string> programs = {
      VARNAK_CLI_PROGRAM,   ECU_SIM_PROGRAM,
#ifdef VARNAK_PROGRAM
      VARNAK_PROGRAM,
#endif
#ifdef GALLERY_PROGRAM
      GALLERY_PROGRAM,
#endif
#ifdef BRELITH_EDIT_PROGRAM
      BRELITH_EDIT_PROGRAM,
#endif
  };
  for (const std::string& program : programs) {
    SCOPED_TRACE(program);
    const std::string name = std::filesystem::path(program).filename().string();
    const ProgramRun help = Program(program, "--help");
    EXPECT_EQ(help.code, 0) << help.err;
    EXPECT_NE(help.out.find("usage: " + name), std::string::npos) << help.out;
    const ProgramRun version = Program(program, "--version");
    EXPECT_EQ(version.code, 0) << version.err;
    // One line: the name and the version (the window's in its About box form).
    EXPECT_EQ(std::count(version.out.begin(), version.out.end(), '\n'), 1) << version.out;
    EXPECT_NE(version.out.find(' '), std::string::npos) << version.out;
    const ProgramRun bogus = Program(program, "--bogus");
    EXPECT_EQ(bogus.code, 2);
    EXPECT_NE(bogus.err.find("usage: " + name), std::string::npos) << bogus.err;
    EXPECT_EQ(bogus.out, "");
    EXPECT_TRUE(Untouched());
  }
}

#if defined(VARNAK_PROGRAM) && defined(BRELITH_LIBRARY)
// A definition named on the window's command line that cannot be loaded is a
// failure: the message, then a non-zero status (not a window left open).
TEST_F(ProgramHelp, WindowWithAMissingDefinitionFails) {
  // The program and its editor library side by side, as installed.
  const std::string bin = dir_ + "/bin";
  std::filesystem::create_directory(bin);
  std::filesystem::copy_file(VARNAK_PROGRAM, bin + "/varnak");
  std::filesystem::copy_file(BRELITH_LIBRARY,
                             bin + "/" + std::filesystem::path(BRELITH_LIBRARY).filename().string());
  const std::string command = "cd '" + dir_ + "' && HOME='" + dir_ + "' XDG_CONFIG_HOME='" + dir_ +
                              "' QT_QPA_PLATFORM=offscreen timeout 60 '" + bin +
                              "/varnak' missing.adx --quit-after 5 >/dev/null 2>'" + dir_ + "/err'";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_NE(ReadFile(dir_ + "/err").find("FAILED to Load " + dir_ + "/missing.adx: "), std::string::npos)
      << ReadFile(dir_ + "/err");
}
#endif

}  // namespace
