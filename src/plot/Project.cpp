#include "plot/Project.hpp"

#include <cstdlib>
#include <filesystem>
#include <new>
#include <vector>

#include "engine/EngineError.hpp"
#include "engine/ProjectFile.hpp"
#include "numerics/OutputFile.hpp"
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

bool SaveProjectFile(const std::string& path, CReplicateDB& db, const CGEList& objects) {
  COutputFile file;
  bool ok = file.Open(path);
  if (ok) {
    COutputFileSink sink(file);
    CProjectWriter out(sink);
    StoreDatabase(out, db);
    objects.Store(out);
    ok = out.Finish() && file.Commit();
  }
  if (!ok) {
    file.Discard();
    if (!file.Error().empty()) ShowMessage(file.Error(), MessageKind::Error);
    CEngineError::Report(kErrCannotOpenOutput);
  }
  return ok;
}

}  // namespace olm
