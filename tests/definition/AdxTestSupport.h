#pragma once
// Helpers shared by the ADX file tests: a scratch folder, whole-file reads
// and writes, and a field-by-field comparison of two definitions.
#include <string>

class ADXDefinition;

class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

 private:
  std::string dir_;
};

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);
// The file's bytes with the time-of-saving comment line removed.
std::string WithoutTimeComment(const std::string& bytes);
// Checks with gtest expectations that b holds the same header, objects,
// fields and references (compared by ID) as a.
void ExpectSameDefinition(const ADXDefinition& a, const ADXDefinition& b);
