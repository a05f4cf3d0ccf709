#pragma once
// Call hierarchy: who calls a SUB or FUNCTION, and what it calls, over
// every program given. A definition in a file that several programs include
// is called from each of them; the calls are gathered from all, each place
// once. Lines of a main program outside any definition call too: they are
// an item of their own, one per file, named after it.
#include <optional>
#include <string>
#include <vector>

#include "language/program.h"

namespace vennik::language {

struct CallHierarchyItem {
  const Program* program = nullptr;  // the program it was found in, whose documents the places name
  std::string name;                  // the definition's, or the file's for its main-program lines
  std::string detail;                // sub, function, cfunction, csub, or main program
  bool mainProgram = false;
  Location range;      // the whole definition, or the whole document
  Location selection;  // the name in the header, or the document's first line
};

// An item as a client hands it back: the name of its document (the
// program's name for it), where its selection starts, and what it is.
struct CallHierarchyKey {
  std::string document;
  Position selection;
  bool mainProgram = false;
};

struct HierarchyCall {
  CallHierarchyItem item;     // the caller, or the definition called
  std::vector<Range> places;  // the calls, in the caller's document, in order
};

// The SUB or FUNCTION named at the position (a call or a header), or nothing.
std::optional<CallHierarchyItem> prepareCallHierarchy(const Program& program, DocumentId document, Position p);

// The definitions and main programs that call the item, in the order of
// their documents' names and places.
std::vector<HierarchyCall> incomingCalls(const std::vector<const Program*>& programs, const CallHierarchyKey& item);
// The definitions the item calls, in the same order.
std::vector<HierarchyCall> outgoingCalls(const std::vector<const Program*>& programs, const CallHierarchyKey& item);

}  // namespace vennik::language
