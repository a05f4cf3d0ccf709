#pragma once
// References and rename over every program that shares a file. A file that
// several programs include is read in each of them, and a name in it stands
// for something in each: a name defined in a shared library is one name in
// every program of the workspace that includes it. The places are gathered
// program by program until no program that holds one of them is left out;
// a rename is then tried on the programs' texts and refused, with the
// reason, unless each program reads the new name at exactly the places
// edited. A rename is never partial.
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/keyword_table.h"
#include "language/program.h"

namespace vennik::language {

// The programs a feature may span, as their holder keeps them up to date.
class ProgramSet {
 public:
  virtual ~ProgramSet() = default;
  // Every program that holds the document of that name, analysed as it is
  // now; none when no program holds it.
  virtual std::vector<std::shared_ptr<const Program>> holding(const std::string& document) = 0;
  // The program analysed again with the files at these paths (as
  // documentPath gives them) read as these texts.
  virtual std::shared_ptr<const Program> withTexts(const Program& program,
                                                   const std::map<std::string, std::string>& texts) = 0;
};

struct PlacesAcross {
  std::vector<std::shared_ptr<const Program>> programs;  // those the places were found in
  struct Place {
    size_t program = 0;  // into `programs`: where `location` counts
    Location location;
  };
  std::vector<Place> places;  // each once, by document and position
  std::string refusal;        // a rename's, when it is refused
};

// Every place of the name at the position, in every program that holds a
// file where one of its places stands. No programs and no places when no
// name stands there.
PlacesAcross referencesAcross(ProgramSet& set, std::shared_ptr<const Program> program, DocumentId document,
                              Position p, bool includeDeclaration);

// The places a rename of the name at the position edits in every program
// that holds one of them, or a refusal that says why and where.
PlacesAcross renameAcross(ProgramSet& set, std::shared_ptr<const Program> program, DocumentId document, Position p,
                          std::string_view newName, const KeywordTable& keywords);

}  // namespace vennik::language
