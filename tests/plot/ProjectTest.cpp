// The project file as a whole: round trips, older versions, damaged files,
// safe saving and the fuzz seeds.
#include "plot/Project.hpp"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "ProjectBytes.hpp"
#include "SampleProject.hpp"
#include "TestSupport.hpp"

namespace olm::test {
namespace {

namespace fs = std::filesystem;

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> FolderEntries(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(ProjectRoundTripTest, SavedOpenedAndSavedAgainGivesIdenticalBytes) {
  CRecordingUi ui;
  CTempDir dir;
  CProject project;
  FillProcessedProject(project);
  ASSERT_TRUE(project.Database().IsLocked());
  ASSERT_EQ(project.Objects().GetCount(), 7);
  ASSERT_TRUE(project.Save(dir.File("a.olm")));

  CProject reopened;
  ASSERT_TRUE(reopened.Open(dir.File("a.olm")));
  ASSERT_TRUE(reopened.Save(dir.File("b.olm")));
  const std::string a = ReadFile(dir.File("a.olm"));
  EXPECT_GT(a.size(), 5000u);
  EXPECT_EQ(a, ReadFile(dir.File("b.olm")));
  EXPECT_TRUE(ui.messages.empty()) << ui.Last();

  // What was read is what was saved.
  const CReplicateDB& db = reopened.Database();
  const CReplicateDB& orig = project.Database();
  ASSERT_EQ(db.GetReplicateCount(), 3);
  EXPECT_EQ(std::tuple(db.IsLocked(), db.Replicate(2).IsActive()), std::tuple(true, false));
  for (int r = 1; r <= 3; ++r) {
    const CReplicate& x = db.Replicate(r);
    const CReplicate& y = orig.Replicate(r);
    const auto Fields = [](const CReplicate& z) {
      return std::tuple(z.GetTitle(), z.units(2), z.smoothedData.GetRows(), z.fitData.GetRows(),
                        z.outliers.GetRows(), z.coefficients(3, 2), z.Zone(2).tolerance);
    };
    EXPECT_EQ(Fields(x), Fields(y)) << r;
    EXPECT_EQ(x.outlierCount, y.outliers.GetRows());
    for (int i = 1; i <= x.raw.GetRows(); ++i)
      for (int j = 1; j <= x.columnCount; ++j) ASSERT_EQ(x.raw(i, j), y.raw(i, j));
  }
  EXPECT_TRUE(db.plotSettings == orig.plotSettings);
  EXPECT_EQ(std::tuple(db.GetReportFlag(6), db.bestFitY(4), db.GetExtent(kOverallMax, 1)),
            std::tuple(true, 16.0, orig.GetExtent(kOverallMax, 1)));
  const CGEList& objects = reopened.Objects();
  ASSERT_EQ(objects.GetCount(), 7);
  for (int k = 0; k < 7; ++k) EXPECT_EQ(objects.At(k).TypeCode(), k + 1);
  EXPECT_EQ(static_cast<const CText&>(objects.At(3)).text, "Necking starts here");
  EXPECT_EQ(objects.GetMaxDepth(), 2);
}

TEST(ProjectRoundTripTest, OlderVersionsOpenAndAreSavedAsTheNewest) {
  CRecordingUi ui;
  CTempDir dir;
  for (double version : {0.911, 0.912}) {
    const std::string path = dir.Write("old.olm", SmallProjectBytes(version));
    CProject project;
    ASSERT_TRUE(project.Open(path)) << ui.Last();
    EXPECT_EQ(project.Database().fileVersion, version);
    ASSERT_TRUE(project.Save(path));
    EXPECT_EQ(project.Database().fileVersion, 0.913);
    CProject again;
    ASSERT_TRUE(again.Open(path));
    EXPECT_EQ(std::tuple(again.Database().fileVersion, again.Database().Replicate(1).headings(2)),
              std::tuple(0.913, std::string("Stress")));
  }
}

class ProjectOpenFailureTest : public ::testing::Test {
 protected:
  void SetUp() override { m_path = m_dir.File("bad.olm"); }

  // Opens bytes written to a file into a project holding data, so that a
  // failed open visibly empties it, and returns the one message shown.
  std::string OpenFails(const std::string& bytes) {
    m_project.Clear();
    FillProcessedProject(m_project, 10);
    m_dir.Write("bad.olm", bytes);
    CRecordingUi ui;
    EXPECT_FALSE(m_project.Open(m_path));
    EXPECT_EQ(std::tuple(m_project.Database().GetReplicateCount(), m_project.Database().title,
                         m_project.Objects().IsEmpty(), ui.messages.size()),
              std::tuple(0, "Untitled", true, 1u));
    return ui.Last();
  }

  CTempDir m_dir;
  CProject m_project;
  std::string m_path;
};

TEST_F(ProjectOpenFailureTest, DamagedFilesAreNamedWithTheReason) {
  std::string old = SmallProjectBytes(0.913);
  const double version = 0.910;
  std::memcpy(old.data(), &version, 8);
  // An older version is invalid and does not end the program (a
  // TerminateCalled would have been thrown).
  EXPECT_EQ(OpenFails(old), "Invalid database.");
  const std::string b = SmallProjectBytes(0.913);
  const size_t rows = 15 + 11 + 1 + 24 + 16 + 24;  // the raw matrix's rows follow the texts
  ASSERT_EQ(I32At(b, rows), 3);
  const std::pair<std::string, std::string> cases[] = {
      {b.substr(0, 13), "the file ends early"},
      {"", "the file ends early"},
      {std::string(b).replace(8, 4, CBytes().I32(25).Str()),
       "it holds 25 data sets; at most 20 are allowed"},
      {std::string(b).replace(rows, 8, CBytes().I32(100000000).I32(2).Str()),
       "a matrix of 100000000 x 2 values is larger than the rest of the file"},
      {SmallProjectBytes(0.913, false) + CBytes().I32(1).I32(0).I32(12).Str() +
           std::string(60, '\0'),
       "drawing object 1 has the unknown type 12"}};
  for (const auto& [bytes, reason] : cases)
    EXPECT_EQ(OpenFails(bytes),
              "The project file " + m_path + " is damaged and was not opened: " + reason + ".");
  CRecordingUi ui;
  const std::string missing = m_dir.File("none.olm");
  EXPECT_FALSE(m_project.Open(missing));
  EXPECT_EQ(ui.Last(), "Cannot open the project file " + missing + ": No such file or directory.");
  EXPECT_FALSE(m_project.Open(m_dir.Path()));
  EXPECT_EQ(ui.Last(), "Cannot open the project file " + m_dir.Path() + ": it is a folder.");
}

TEST_F(ProjectOpenFailureTest, EveryTruncationOfAWholeProjectIsRefused) {
  CProject small;
  FillProcessedProject(small, 6);
  const std::string b = Written([&](CProjectWriter& out) { small.Write(out); });
  CRecordingUi ui;
  for (size_t n = 0; n < b.size(); n += 1 + n / 500) {
    CMemorySource src(b.data(), n);
    CProject p;
    ASSERT_FALSE(p.Read(src, "x")) << n;
  }
  // The whole, and trailing bytes after the object list are ignored.
  const std::string longer = b + "extra";
  CMemorySource whole(b), more(longer);
  CProject p;
  EXPECT_TRUE(p.Read(whole, "x") && p.Read(more, "x"));
}

TEST(ProjectSaveTest, FailedSaveReportsCode11AndKeepsThePreviousFile) {
  CRecordingUi ui;
  CTempDir dir;
  const std::string path = dir.Write("keep.olm", "previous contents");
  CProject project;
  FillProcessedProject(project, 20000);  // a file of about 2 MB
  // A file-size limit makes the writes fail as a full disk would.
  struct rlimit old {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 100000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool saved = project.Save(path);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(saved);
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Cannot write " + path + ": File too large.",
                                                  "Cannot open output file."}));
  EXPECT_EQ(ReadFile(path), "previous contents");
  EXPECT_EQ(FolderEntries(dir.Path()), (std::vector<std::string>{"keep.olm"}));  // no leftovers
}

TEST(ProjectSaveTest, UnwritableTargetsReportCode11) {
  CRecordingUi ui;
  CTempDir dir;
  CProject project;
  EXPECT_FALSE(project.Save(dir.File("no/such/folder/p.olm")));
  EXPECT_EQ(ui.Last(), "Cannot open output file.");
  // A folder in the way is refused and untouched.
  fs::create_directory(dir.File("taken.olm"));
  WriteBytes(dir.File("taken.olm/inside"), "x");
  ui.Clear();
  EXPECT_FALSE(project.Save(dir.File("taken.olm")));
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{
                            "Cannot write " + dir.File("taken.olm") + ": it is not a regular file.",
                            "Cannot open output file."}));
  EXPECT_EQ(ReadFile(dir.File("taken.olm/inside")), "x");
  EXPECT_EQ(FolderEntries(dir.Path()), (std::vector<std::string>{"taken.olm"}));
}

TEST(ProjectSaveTest, ReplacingKeepsPermissionsAndFollowsLinks) {
  CRecordingUi ui;
  CTempDir dir;
  const std::string path = dir.Write("p.olm", "old");
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  fs::create_symlink("p.olm", dir.File("link.olm"));
  CProject project;
  FillProcessedProject(project, 10);
  ASSERT_TRUE(project.Save(dir.File("link.olm")));
  EXPECT_TRUE(fs::is_symlink(dir.File("link.olm")));
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  CProject back;
  ASSERT_TRUE(back.Open(path));
  EXPECT_EQ(back.Database().GetReplicateCount(), 3);
  project.Clear();  // an empty document
  const CReplicateDB& db = project.Database();
  EXPECT_EQ(std::tuple(db.GetReplicateCount(), db.title, db.IsLocked(), db.GetReportFlag(1),
                       project.Objects().IsEmpty()),
            std::tuple(0, "Untitled", false, false, true));
}

// The seed files of the fuzz target: files of each version, with and
// without data and objects.
std::vector<std::pair<std::string, std::string>> Seeds() {
  CProject empty, full;
  FillProcessedProject(full, 6);
  return {{"v0911-small.olm", SmallProjectBytes(0.911)},
          {"v0912-small.olm", SmallProjectBytes(0.912)},
          {"v0913-small.olm", SmallProjectBytes(0.913)},
          {"v0913-empty.olm", Written([&](CProjectWriter& out) { empty.Write(out); })},
          {"v0913-processed-objects.olm", Written([&](CProjectWriter& out) { full.Write(out); })}};
}

TEST(ProjectSeedTest, CommittedSeedsAreCurrentAndOpen) {
  CRecordingUi ui;
  const std::string folder = SourcePath("fuzz/corpus/project");
  // OLM_WRITE_PROJECT_SEEDS=1 writes them anew (after a change of the format).
  if (std::getenv("OLM_WRITE_PROJECT_SEEDS")) {
    fs::create_directories(folder);
    for (const auto& [name, bytes] : Seeds()) WriteBytes(folder + "/" + name, bytes);
  }
  for (const auto& [name, bytes] : Seeds()) {
    const std::string path = folder + "/" + name;
    ASSERT_TRUE(fs::exists(path)) << path;
    EXPECT_EQ(ReadFile(path), bytes) << name;
    CProject p;
    EXPECT_TRUE(p.Open(path)) << ui.Last();
  }
}

}  // namespace
}  // namespace olm::test
