// Where quenbol-count's output goes: the report file, written safely beside
// its target or directly where it is no regular file, and what every output
// form says when its output cannot be written.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "cli/emit/output_file.h"
#include "cli/tests/counter_process.h"

namespace quenbol::cli {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::RunCounter;
using test::RunOutput;
using test::ShellQuoted;
using test::TempPath;

// A folder of its own per test, removed after it.
class ReportFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir = TempPath(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "/";
        fs::remove_all(dir);
        fs::create_directory(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename().string());
        return names;
    }
    void Put(const std::string& name, const std::string& bytes) const { std::ofstream(dir + name) << bytes; }
    mode_t Mode(const std::string& name) const {
        struct stat info;
        return stat((dir + name).c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
    }

    std::string dir;
};

bool WriteWhole(OutputFile& file, const std::string& path, const std::string& bytes) {
    return file.Open(path) && file.Write(bytes) && file.Finish();
}

bool WriteWhole(const std::string& path, const std::string& bytes) {
    OutputFile file;
    return WriteWhole(file, path, bytes);
}

TEST_F(ReportFile, TheOldFileKeepsItsPermissionsAndANewOneGetsTheUsualOnes) {
    Put("old.html", "old");
    ASSERT_EQ(chmod((dir + "old.html").c_str(), 0600), 0);
    ASSERT_TRUE(WriteWhole(dir + "old.html", "new"));
    EXPECT_EQ(ReadBytes(dir + "old.html"), "new");
    EXPECT_EQ(Mode("old.html"), 0600u);

    const mode_t before = umask(027);
    const bool written = WriteWhole(dir + "new.html", "fresh");
    umask(before);
    ASSERT_TRUE(written);
    EXPECT_EQ(Mode("new.html"), 0640u);
    EXPECT_EQ(Names(), (std::set<std::string>{"new.html", "old.html"}));  // no new file left beside them

    // A name as long as the file system allows still gets its new file.
    const std::string longest(255, 'r');
    ASSERT_TRUE(WriteWhole(dir + longest, "long"));
    EXPECT_EQ(ReadBytes(dir + longest), "long");
}

TEST_F(ReportFile, ALinkIsWrittenThroughAndStaysALink) {
    Put("real.html", "old");
    fs::create_symlink("real.html", dir + "link.html");
    fs::create_symlink("link.html", dir + "chain.html");
    ASSERT_TRUE(WriteWhole(dir + "chain.html", "new"));
    EXPECT_TRUE(fs::is_symlink(dir + "chain.html"));
    EXPECT_TRUE(fs::is_symlink(dir + "link.html"));
    EXPECT_EQ(ReadBytes(dir + "real.html"), "new");
    // A link to no file yet makes the file it names.
    fs::create_symlink("later.html", dir + "dangling.html");
    ASSERT_TRUE(WriteWhole(dir + "dangling.html", "made"));
    EXPECT_TRUE(fs::is_symlink(dir + "dangling.html"));
    EXPECT_EQ(ReadBytes(dir + "later.html"), "made");
}

TEST_F(ReportFile, NamesTakenBesideTheTargetAreNeverFollowedNorOverwritten) {
    Put("victim", "precious");
    fs::create_symlink(dir + "victim", dir + "taken-link");
    Put("taken-file", "mine");
    int tries = 0;
    OutputFile file([&tries] { return std::string(++tries == 1 ? "taken-link" : tries == 2 ? "taken-file" : "free"); });
    ASSERT_TRUE(WriteWhole(file, dir + "report.html", "report"));
    EXPECT_EQ(tries, 3);
    EXPECT_EQ(ReadBytes(dir + "victim"), "precious");
    EXPECT_EQ(ReadBytes(dir + "taken-file"), "mine");
    EXPECT_TRUE(fs::is_symlink(dir + "taken-link"));
    EXPECT_EQ(ReadBytes(dir + "report.html"), "report");
    EXPECT_EQ(Names(), (std::set<std::string>{"report.html", "taken-file", "taken-link", "victim"}));
}

TEST_F(ReportFile, AFailureLeavesTheOldFileAndNoNewOne) {
    Put("old.html", "old");
    {
        OutputFile file;
        ASSERT_TRUE(file.Open(dir + "old.html"));
        ASSERT_TRUE(file.Write("half a rep"));
        EXPECT_EQ(Names().size(), 2u);  // the new file beside the old one
    }  // abandoned, as when the report cannot be made
    EXPECT_EQ(ReadBytes(dir + "old.html"), "old");
    EXPECT_EQ(Names(), std::set<std::string>{"old.html"});

    OutputFile missing;
    EXPECT_FALSE(WriteWhole(missing, dir + "no-such-folder/r.html", "x"));
    EXPECT_EQ(missing.reason(), "No such file or directory");
    OutputFile folder;
    EXPECT_FALSE(WriteWhole(folder, dir, "x"));
    EXPECT_EQ(folder.reason(), "Is a directory");
    fs::create_symlink("loop", dir + "loop");
    OutputFile loop;
    EXPECT_FALSE(WriteWhole(loop, dir + "loop", "x"));
    EXPECT_EQ(loop.reason(), "Too many levels of symbolic links");
    EXPECT_EQ(Names(), (std::set<std::string>{"loop", "old.html"}));
}

TEST_F(ReportFile, WhatIsNoRegularFileIsWrittenDirectly) {
    // The FIFO is held open for reading (without waiting), so that the write
    // finds a reader and what it wrote can be read back at once.
    const std::string fifo = dir + "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int reader = open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_TRUE(WriteWhole(fifo, "through the pipe"));
    std::string received(100, '\0');
    received.resize(std::max<ssize_t>(0, read(reader, received.data(), received.size())));
    close(reader);
    EXPECT_EQ(received, "through the pipe");
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(Names(), std::set<std::string>{"fifo"});

    // "-" is standard output, and so is a name of it such as /dev/fd/1: the
    // report goes down a pipe, or into the file the shell opened, emptied by
    // ">" or added to by ">>". (Not /dev/stdout or /dev/full: a fault here
    // would replace them for the whole machine when the tests run as root.)
    const std::string text = test::WriteTemp("text.txt", "text");
    const std::string page = dir + "page.html";
    ASSERT_EQ(RunCounter({"--html", page, text}).status, 0);
    const RunOutput piped = RunCounter({"--html", "-", text});
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_TRUE(piped.out == ReadBytes(page));
    Put("out.html", "before\n");
    ASSERT_EQ(test::Shell({QUENBOL_COUNT_EXE, "--html", "/dev/fd/1", text}, ">>" + ShellQuoted(dir + "out.html")), 0);
    EXPECT_TRUE(ReadBytes(dir + "out.html") == "before\n" + ReadBytes(page));
}

TEST(OutputFailure, EveryFormSaysWhyAndExits1) {
    const std::string text = QUENBOL_SAMPLE;  // with occurrences for --matches to print
    const std::string full = "No space left on device\n";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{text}, {"--line", text}, {"--json", text}, {"--jsonl", text}, {"--csv", text},
          {"--matches", text}, {"--html", "-", text}, {"--by-keyword", text}, {"--dump-keywords"}, {"--help"}}) {
        SCOPED_TRACE(args.front());
        std::vector<std::string> command{QUENBOL_COUNT_EXE};
        command.insert(command.end(), args.begin(), args.end());
        const std::string err = TempPath("full.err");
        EXPECT_EQ(test::Shell(command, ">/dev/full 2>" + ShellQuoted(err)), 1);
        EXPECT_EQ(ReadBytes(err), "quenbol-count: standard output: " + full);
    }
    const std::string nowhere = TempPath("no-such-folder") + "/report.html";
    const RunOutput report = RunCounter({"--html", nowhere, text});
    EXPECT_EQ(report.status, 1);
    EXPECT_EQ(report.err, "quenbol-count: " + nowhere + ": cannot write the report: No such file or directory\n");
}

// The reader goes after 10 bytes of output far larger than a pipe holds (the
// matches of eight copies of the sample, 270 KB); the
// run ends by SIGPIPE (status 141 in the shell) without a message, even when
// the caller ignored the signal.
TEST(OutputFailure, AClosedPipeEndsTheRunQuietly) {
    for (const char* ignore : {"", "trap '' PIPE; "}) {
        SCOPED_TRACE(ignore);
        const std::string err = TempPath("pipe.err"), status = TempPath("pipe.status");
        std::string samples;
        for (int i = 0; i < 8; ++i) samples += " " + ShellQuoted(QUENBOL_SAMPLE);
        const std::string script = std::string(ignore) + ShellQuoted(QUENBOL_COUNT_EXE) + " --matches" + samples +
                                   " 2>" + ShellQuoted(err) + " | head -c 10 >/dev/null; echo ${PIPESTATUS[0]} >" +
                                   ShellQuoted(status);
        ASSERT_EQ(std::system(("timeout 60 bash -c " + ShellQuoted(script)).c_str()), 0);
        EXPECT_EQ(ReadBytes(status), "141\n");
        EXPECT_EQ(ReadBytes(err), "");
    }
}

}  // namespace
}  // namespace quenbol::cli
