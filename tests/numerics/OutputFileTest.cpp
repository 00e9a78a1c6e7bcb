// COutputFile: refused targets, checked writes, replace on commit.
#include "numerics/OutputFile.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "ChildProcess.hpp"
#include "TestSupport.hpp"

namespace olm {
namespace {

namespace fs = std::filesystem;
using test::CTempDir;
using test::ReadFile;

std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(OutputFileTest, CommitReplacesTheOldFileAndLeavesNothingElse) {
  CTempDir dir;
  const std::string path = dir.Write("out.txt", "old");
  ::chmod(path.c_str(), 0640);
  COutputFile file;
  ASSERT_TRUE(file.Open(path));
  EXPECT_EQ(ReadFile(path), "old");  // untouched until committed
  EXPECT_TRUE(file.Write("new "));
  EXPECT_TRUE(file.Write("text"));
  EXPECT_TRUE(file.Commit(true));
  EXPECT_EQ(ReadFile(path), "new text");
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"out.txt"});
  EXPECT_TRUE(file.Error().empty());
}

TEST(OutputFileTest, WriteAtPatchesAndDiscardKeepsTheOldFile) {
  CTempDir dir;
  const std::string path = dir.Write("out.bin", "old");
  {
    COutputFile file;
    ASSERT_TRUE(file.Open(path));
    EXPECT_TRUE(file.Write("abcdef"));
    EXPECT_TRUE(file.WriteAt(1, "XY", 2));
    EXPECT_TRUE(file.Write("g"));  // appends after the end, not after the patch
    ASSERT_TRUE(file.Commit());
  }
  EXPECT_EQ(ReadFile(path), "aXYdefg");
  {
    COutputFile file;
    ASSERT_TRUE(file.Open(path));
    file.Write("never committed");
  }  // destroyed without Commit(): discarded
  EXPECT_EQ(ReadFile(path), "aXYdefg");
  EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"out.bin"});
}

TEST(OutputFileTest, ALinkIsReplacedThroughAndStaysALink) {
  CTempDir dir;
  const std::string real = dir.Write("real.txt", "old");
  fs::create_symlink(real, dir.File("link.txt"));
  ASSERT_TRUE(WriteTextFile(dir.File("link.txt"), "new"));
  EXPECT_TRUE(fs::is_symlink(dir.File("link.txt")));
  EXPECT_EQ(ReadFile(real), "new");
}

TEST(OutputFileTest, TargetsThatAreNotRegularFilesAreRefused) {
  CTempDir dir;
  std::string error;
  // A FIFO, a folder, and a link to a FIFO.
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
  fs::create_directory(dir.File("folder"));
  fs::create_symlink(dir.File("fifo"), dir.File("link"));
  for (const std::string name : {"fifo", "folder", "link"}) {
    EXPECT_FALSE(WriteTextFile(dir.File(name), "x", {}, &error)) << name;
    EXPECT_EQ(error, "Cannot write " + dir.File(name) + ": it is not a regular file.");
  }
  EXPECT_TRUE(fs::is_fifo(dir.File("fifo")));
  EXPECT_TRUE(fs::is_empty(dir.File("folder")));
  EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"fifo", "folder", "link"}));
}

TEST(OutputFileTest, ADeviceNodeIsRefusedAndKept) {
  if (::geteuid() != 0) GTEST_SKIP() << "mknod needs root";
  CTempDir dir;
  const std::string node = dir.File("null");
  ASSERT_EQ(::mknod(node.c_str(), S_IFCHR | 0644, makedev(1, 3)), 0);
  std::string error;
  EXPECT_FALSE(WriteTextFile(node, "x", {}, &error));
  EXPECT_EQ(error, "Cannot write " + node + ": it is not a regular file.");
  EXPECT_TRUE(fs::is_character_file(node));
  EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"null"});
}

TEST(OutputFileTest, ATargetThatIsAnInputIsRefusedByDeviceAndInode) {
  CTempDir dir;
  const std::string input = dir.Write("in.csv", "1,2\n");
  fs::create_hard_link(input, dir.File("hard.csv"));
  fs::create_symlink(input, dir.File("soft.csv"));
  const std::string other = dir.Write("other.csv", "3,4\n");
  std::string error;
  EXPECT_FALSE(WriteTextFile(input, "x", {other, input}, &error));
  EXPECT_EQ(error, "Cannot write " + input + ": it is an input of this command.");
  for (const std::string name : {"hard.csv", "soft.csv"}) {
    EXPECT_FALSE(WriteTextFile(dir.File(name), "x", {input}, &error)) << name;
    EXPECT_EQ(error, "Cannot write " + dir.File(name) + ": it is the same file as the input " +
                         input + ".");
  }
  // Spelled another way (a "./" inside) it is still the same file.
  EXPECT_FALSE(WriteTextFile(dir.Path() + "/./in.csv", "x", {input}, &error));
  EXPECT_EQ(ReadFile(input), "1,2\n");
  // An input that does not exist, and an output that is not an input, are fine.
  EXPECT_TRUE(WriteTextFile(dir.File("out.csv"), "x", {input, dir.File("missing")}, &error));
  EXPECT_TRUE(OutputTargetProblem(dir.File("new.csv"), {input}).empty());
}

TEST(OutputFileTest, AnInputAddedAfterOpenIsCheckedAtCommit) {
  CTempDir dir;
  const std::string included = dir.Write("curves.k", "curves");
  COutputFile file;
  ASSERT_TRUE(file.Open(included, {dir.File("model.txt")}));
  file.AddInput(included);
  file.Write("results");
  EXPECT_FALSE(file.Commit());
  EXPECT_EQ(file.Error(), "Cannot write " + included + ": it is an input of this command.");
  EXPECT_EQ(ReadFile(included), "curves");
  EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"curves.k"});
}

TEST(OutputFileTest, AMissingFolderIsReportedWithItsReason) {
  CTempDir dir;
  std::string error;
  EXPECT_FALSE(WriteTextFile(dir.File("no/such/out.txt"), "x", {}, &error));
  EXPECT_EQ(error, "Cannot write " + dir.File("no/such/out.txt") + ": No such file or directory.");
  EXPECT_FALSE(WriteTextFile("", "x", {}, &error));
  EXPECT_FALSE(error.empty());
}

TEST(OutputFileTest, AFileSizeLimitFailsTheWriteAndKeepsTheOldFile) {
  CTempDir dir;
  const std::string path = dir.Write("report.out", "the old report");
  // In a child: the limit and the ignored signal stay out of this process.
  const auto outcome = test::RunInChild([&] {
    IgnoreFileSizeSignal();
    if (!test::LowerLimit(RLIMIT_FSIZE, 4096)) return 10;
    std::string error;
    if (WriteTextFile(path, std::string(100000, 'x'), {}, &error)) return 11;
    if (error != "Cannot write " + path + ": File too large.") return 12;
    // The stream buffer reports the failure through the file as well.
    COutputFile file;
    if (!file.Open(path)) return 13;
    {
      COutputFileBuffer buffer(file);
      std::ostream out(&buffer);
      for (int i = 0; i < 10000; ++i) out << "line " << i << "\n";
    }
    return file.Commit() ? 14 : 0;
  });
  EXPECT_TRUE(outcome.exited) << "signal " << outcome.signal;
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(ReadFile(path), "the old report");
  EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"report.out"});
}

TEST(OutputFileTest, TheStreamBufferWritesWhatTheStreamIsGiven) {
  CTempDir dir;
  const std::string path = dir.File("big.txt");
  std::string expected;
  COutputFile file;
  ASSERT_TRUE(file.Open(path));
  {
    COutputFileBuffer buffer(file);
    std::ostream out(&buffer);
    for (int i = 0; i < 3000; ++i) {
      const std::string line =
          "row " + std::to_string(i) + (i % 97 == 0 ? std::string(70000, 'z') : "") + "\n";
      out << line;
      expected += line;
    }
  }
  ASSERT_TRUE(file.Commit());
  EXPECT_EQ(ReadFile(path), expected);
}

}  // namespace
}  // namespace olm
