#pragma once
// Runs a built program from a test and captures what it printed and its exit
// status:
//
//   CommandRun run = RunCommand(ORVANE_TOOL_PATH, {"header", file}, scratch);
//   EXPECT_EQ(run.status, 0) << run.err;
//
// Standard output and standard error go to files in a scratch directory, so
// that neither can fill a pipe and block the program; both are read back and
// removed.

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace orvane::test {

struct CommandRun {
  int status = -1;  ///< the exit status; -1 when the program did not exit normally
  std::string out;  ///< standard output
  std::string err;  ///< standard error
};

/// The whole file as bytes; empty when it cannot be read.
inline std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

/// @p arg as one word for the shell: "it's" -> 'it'\''s'.
inline std::string ShellQuote(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

/// Runs @p commandLine through the shell as it stands (the caller quotes),
/// with its output captured through files in @p scratch.
inline CommandRun RunShell(const std::string& commandLine, const std::filesystem::path& scratch) {
  const std::filesystem::path out = scratch / "stdout.txt", err = scratch / "stderr.txt";
  const std::string command = commandLine + " >" + ShellQuote(out.string()) + " 2>" + ShellQuote(err.string());
  CommandRun run;
  const int raw = std::system(command.c_str());
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = ReadText(out);
  run.err = ReadText(err);
  std::error_code ec;
  std::filesystem::remove(out, ec);
  std::filesystem::remove(err, ec);
  return run;
}

/// Runs @p program with @p args, each passed as one argument whatever it
/// holds, in the directory @p workDir (the test's own when empty); the output
/// is captured through files in @p scratch.
inline CommandRun RunCommand(const std::string& program, const std::vector<std::string>& args,
                             const std::filesystem::path& scratch, const std::filesystem::path& workDir = {}) {
  std::string command = ShellQuote(program);
  if (!workDir.empty()) command = "cd " + ShellQuote(workDir.string()) + " && " + command;
  for (const std::string& a : args) command += " " + ShellQuote(a);
  return RunShell(command, scratch);
}

}  // namespace orvane::test
