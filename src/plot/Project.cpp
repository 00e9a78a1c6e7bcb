#include "plot/Project.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <new>
#include <vector>

#include "engine/EngineError.hpp"
#include "engine/ProjectFile.hpp"
#include "numerics/UserInterface.hpp"

namespace olm {

namespace fs = std::filesystem;

CProject::CProject() : m_db(std::make_unique<CReplicateDB>()) {}

CProject::CProject(std::unique_ptr<CReplicateDB> db)
    : m_db(db ? std::move(db) : std::make_unique<CReplicateDB>()) {}

void CProject::Clear() {
  // A fresh database: no replicates, "Untitled", flags, extents, plot
  // settings, report flags and best-fit curve all at their defaults.
  m_db = std::make_unique<CReplicateDB>();
  m_objects.Clear();
}

void CProject::Write(CProjectWriter& out) {
  StoreDatabase(out, *m_db);
  m_objects.Store(out);
}

bool CProject::Read(IProjectSource& source, const std::string& name) {
  auto db = std::make_unique<CReplicateDB>();
  CGEList objects;
  std::string failure;
  try {
    CProjectReader in(source);
    LoadDatabase(in, *db);
    objects.Load(in);
  } catch (const CInvalidDatabaseError& e) {
    failure = e.what();
  } catch (const CProjectFormatError& e) {
    failure =
        Format("The project file %s is damaged and was not opened: %s.", name.c_str(), e.what());
  } catch (const std::bad_alloc&) {
    failure =
        Format("The project file %s was not opened: there is not enough memory.", name.c_str());
  }
  if (!failure.empty()) {
    Clear();
    ShowMessage(failure, MessageKind::Error);
    return false;
  }
  m_db = std::move(db);
  m_objects = std::move(objects);
  return true;
}

bool CProject::Open(const std::string& path) {
  CFileSource source(path);
  if (!source.IsOpen()) {
    Clear();
    ShowMessage(
        Format("Cannot open the project file %s: %s.", path.c_str(), source.Error().c_str()),
        MessageKind::Error);
    return false;
  }
  return Read(source, path);
}

bool CProject::Save(const std::string& path) {
  return SaveProjectFile(path, *m_db, m_objects);
}

namespace {

// The permissions the saved file gets: those of the file it replaces, or
// what a newly created file would get.
mode_t SavedFileMode(const fs::path& target) {
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

bool WriteProject(int fd, CReplicateDB& db, const CGEList& objects) {
  CFileSink sink(fd);
  CProjectWriter out(sink);
  StoreDatabase(out, db);
  objects.Store(out);
  return out.Finish();
}

}  // namespace

bool SaveProjectFile(const std::string& path, CReplicateDB& db, const CGEList& objects) {
  std::error_code ec;
  fs::path target(path);
  // Saving through a link replaces the file it points to, not the link.
  if (fs::is_symlink(target, ec)) {
    const fs::path resolved = fs::weakly_canonical(target, ec);
    if (!ec) target = resolved;
  }
  fs::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');

  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) {
    CEngineError::Report(kErrCannotOpenOutput);
    return false;
  }
  const std::string temporary(name.data());
  bool ok = ::fchmod(fd, SavedFileMode(target)) == 0;
  ok = ok && WriteProject(fd, db, objects);
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temporary.c_str());
    CEngineError::Report(kErrCannotOpenOutput);
  }
  return ok;
}

}  // namespace olm
