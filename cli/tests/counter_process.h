// For the tests that run quenbol-count as a program (QUENBOL_COUNT_EXE): its
// output, scratch files named per process (CTest runs tests side by side),
// and shell quoting.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace quenbol::cli::test {

struct RunOutput {
    int status = -1;
    std::string out, err;
};

inline std::string TempPath(const std::string& name) {
    return ::testing::TempDir() + "quenbol_count_" + std::to_string(getpid()) + "_" + name;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::string WriteTemp(const std::string& name, const std::string& bytes) {
    const std::string path = TempPath(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

inline std::string ShellQuoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs `argv` through the shell with `redirections`, bounded in time; the
// exit status, or -1 when it did not exit.
inline int Shell(const std::vector<std::string>& argv, const std::string& redirections, int seconds = 60) {
    std::string command = "timeout " + std::to_string(seconds);
    for (const std::string& a : argv) command += " " + ShellQuoted(a);
    const int raw = std::system((command + " " + redirections).c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// The counter run with `args`, standard input from `input`.
inline RunOutput RunCounter(std::vector<std::string> args, const std::string& input = "/dev/null") {
    args.insert(args.begin(), QUENBOL_COUNT_EXE);
    const std::string out = TempPath("stdout"), err = TempPath("stderr");
    const int status = Shell(args, "<" + ShellQuoted(input) + " >" + ShellQuoted(out) + " 2>" + ShellQuoted(err));
    return {status, ReadBytes(out), ReadBytes(err)};
}

}  // namespace quenbol::cli::test
