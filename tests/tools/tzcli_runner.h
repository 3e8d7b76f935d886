// Runs the built tzcli in a scratch folder and captures what it printed.
#ifndef TZM_TESTS_TOOLS_TZCLI_RUNNER_H
#define TZM_TESTS_TOOLS_TZCLI_RUNNER_H

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tzm::test {

// TRun is what one run of tzcli left behind.
struct TRun {
  int Exit = -1;
  std::string Out;
  std::string Err;
  bool Has(const std::string& text) const { return Out.find(text) != std::string::npos || Err.find(text) != std::string::npos; }
};

inline std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void Spit(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ShellQuote(const std::string& arg) {
  std::string quoted = "'";
  for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// TTzcliFixture gives each test a scratch folder, the working folder of
// every run, and removes it afterwards.
class TTzcliFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<int> counter{0};
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    Dir = std::filesystem::temp_directory_path() /
          ("tzm_tzcli_" + std::string(info->name()) + "_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    std::filesystem::remove_all(Dir);
    std::filesystem::create_directories(Dir);
  }
  void TearDown() override {
    std::error_code ignored;
    if (!HasFailure()) std::filesystem::remove_all(Dir, ignored);
  }

  // Tzcli runs the tool with |args| (UTF-8) in Dir, |input| on its standard
  // input, TZCLI_PROFILE unset and then |environment| ("NAME=VALUE") set.
  TRun Tzcli(const std::vector<std::string>& args, const std::string& input = std::string(),
             const std::string& environment = std::string()) const {
    return RunProgram(TZCLI_PATH, args, input, environment);
  }

  TRun RunProgram(const std::string& program, const std::vector<std::string>& args, const std::string& input,
                  const std::string& environment = std::string()) const {
    std::string command = "cd " + ShellQuote(Dir.string()) + " && env -u TZCLI_PROFILE ";
    if (!environment.empty()) command += ShellQuote(environment) + " ";
    command += ShellQuote(program);
    for (const std::string& arg : args) command += " " + ShellQuote(arg);
    const std::filesystem::path out = Dir / ".out", err = Dir / ".err", in = Dir / ".in";
    Spit(in, input);
    command += " <" + ShellQuote(in.string()) + " >" + ShellQuote(out.string()) + " 2>" + ShellQuote(err.string());
    const int status = std::system(command.c_str());
    TRun run;
    run.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.Out = Slurp(out);
    run.Err = Slurp(err);
    return run;
  }

  std::filesystem::path Dir;
};

// Expectation helpers that show everything the tool printed.
#define EXPECT_RUN(run, code) EXPECT_EQ((run).Exit, code) << "stdout:\n" << (run).Out << "stderr:\n" << (run).Err
#define ASSERT_RUN(run, code) ASSERT_EQ((run).Exit, code) << "stdout:\n" << (run).Out << "stderr:\n" << (run).Err

}  // namespace tzm::test

#endif
