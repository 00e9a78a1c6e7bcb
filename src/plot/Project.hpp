#pragma once
// A project: the database (with its plot settings) and the annotation
// objects, saved as one `.olm` file: the database record followed by the
// object list.
//
// Opening reads into fresh objects and takes them over only when the whole
// file was read, so nothing half-read is ever kept: a file that cannot be
// opened, is older than version 0.911 or is damaged is reported (naming the
// file) and leaves the project empty.  Saving writes a temporary file in the
// same folder and renames it over the old one, so a failed save reports
// "Cannot open output file." and leaves the previous file intact.
#include <memory>
#include <string>

#include "engine/Database.hpp"
#include "engine/ProjectStream.hpp"
#include "plot/GraphicList.hpp"

namespace olm {

class CProject {
 public:
  CProject();
  // Takes over a database (the objects start empty).
  explicit CProject(std::unique_ptr<CReplicateDB> db);
  CProject(const CProject&) = delete;
  CProject& operator=(const CProject&) = delete;

  // The database is replaced by Open; do not keep the reference across it.
  CReplicateDB& Database() { return *m_db; }
  const CReplicateDB& Database() const { return *m_db; }
  CGEList& Objects() { return m_objects; }
  const CGEList& Objects() const { return m_objects; }

  // A new, empty project: the database cleared ("Untitled", no replicates)
  // and no drawing objects.
  void Clear();

  // Writes the database record (version 0.913) and the object list.
  void Write(CProjectWriter& out);

  // Reads a project from the source.  On success the project holds what was
  // read; otherwise the reason is shown (for a damaged input naming `name`)
  // and the project is left empty.
  bool Read(IProjectSource& source, const std::string& name);

  bool Open(const std::string& path);
  // Saves to path; the project's own file (the one it was opened from) is
  // not an input, so saving over it is allowed.
  bool Save(const std::string& path);

 private:
  std::unique_ptr<CReplicateDB> m_db;
  CGEList m_objects;
};

// Writes a database and an object list to a project file through
// COutputFile (refused when the target is not a regular file); on failure
// shows why, reports "Cannot open output file." and leaves any previous file
// intact.
bool SaveProjectFile(const std::string& path, CReplicateDB& db, const CGEList& objects);

}  // namespace olm
