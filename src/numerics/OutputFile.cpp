#include "numerics/OutputFile.hpp"

#include <cstdio>

namespace olm {

COutputFile::~COutputFile() {
  Discard();
}

bool COutputFile::Open(const std::string& path) {
  Discard();
  m_path = path;
  m_tempPath = path + ".olmtmp";
  m_failed = false;
  m_file = std::fopen(m_tempPath.c_str(), "wb");
  return m_file != nullptr;
}

void COutputFile::Write(std::string_view text) {
  if (!m_file) {
    m_failed = true;
    return;
  }
  if (!text.empty() && std::fwrite(text.data(), 1, text.size(), m_file) != text.size())
    m_failed = true;
}

bool COutputFile::Commit() {
  if (!m_file) return false;
  bool ok = !m_failed && std::fflush(m_file) == 0 && !std::ferror(m_file);
  ok = (std::fclose(m_file) == 0) && ok;
  m_file = nullptr;
  if (ok) ok = std::rename(m_tempPath.c_str(), m_path.c_str()) == 0;
  if (!ok) std::remove(m_tempPath.c_str());
  return ok;
}

void COutputFile::Discard() {
  if (!m_file) return;
  std::fclose(m_file);
  m_file = nullptr;
  std::remove(m_tempPath.c_str());
}

bool WriteTextFile(const std::string& path, std::string_view text) {
  COutputFile file;
  if (!file.Open(path)) return false;
  file.Write(text);
  return file.Commit();
}

}  // namespace olm
