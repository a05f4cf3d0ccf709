#include "language/across_programs.h"

#include <deque>
#include <functional>
#include <set>
#include <tuple>

#include "base/message_value.h"
#include "language/navigation.h"
#include "language/rename.h"

namespace vennik::language {

namespace {

// A place as every program that holds its document names it.
struct PlaceKey {
  std::string document;
  Position start;
  friend auto operator<=>(const PlaceKey&, const PlaceKey&) = default;
};

std::string fileName(const std::string& document) { return document.substr(document.rfind('/') + 1); }

std::string where(const PlaceKey& k) {
  return fileName(k.document) + " line " + std::to_string(k.start.line);
}

// What one program says of the name at a position.
struct Found {
  bool named = false;            // a name stands there
  std::vector<Location> places;  // where it stands in the program
  std::vector<Location> declarations;
  std::string refusal;
};
using Ask = std::function<Found(const Program&, DocumentId, Position)>;

// The places of a name in one program after another, until every program
// that holds a document where one of them stands has said where the name
// stands for it.
class Gathering {
 public:
  Gathering(ProgramSet& set, Ask ask, bool strict) : set_(set), ask_(std::move(ask)), strict_(strict) {}

  // False when nothing stands at the position or a program refuses (the
  // refusal in `out`).
  bool run(std::shared_ptr<const Program> start, DocumentId document, Position p, PlacesAcross& out) {
    out_ = &out;
    indexOf(std::move(start));
    std::deque<std::tuple<size_t, DocumentId, Position>> anchors{{0, document, p}};
    bool first = true;
    std::set<PlaceKey> followed;
    while (!anchors.empty()) {
      while (!anchors.empty()) {
        const auto [q, d, at] = anchors.front();
        anchors.pop_front();
        const Program& program = *out.programs[q];
        const PlaceKey key{program.documentName(d), at};
        if (covered_.contains({q, key})) continue;
        Found found = ask_(program, d, at);
        if (!found.named) {
          if (first) return false;
          if (!strict_) continue;
          out.refusal = "in the program " + fileName(program.documentName(0)) + ", which includes " +
                        fileName(key.document) + " too, " + where(key) +
                        " is not read as that name: the rename would leave it as it is";
          return false;
        }
        if (!found.refusal.empty()) {
          out.refusal = found.refusal;
          if (q != 0 || d != 0) out.refusal += " (in the program " + fileName(program.documentName(0)) + ")";
          return false;
        }
        first = false;
        for (const Location& l : found.places) {
          const PlaceKey k{program.documentName(l.document), l.range.start};
          covered_.insert({q, k});
          places_.try_emplace(k, PlacesAcross::Place{q, l});
        }
        for (const Location& l : found.declarations) declared_.insert({program.documentName(l.document), l.range.start});
      }
      // Every program that holds a document where the name stands says what
      // stands there for it.
      for (const auto& [k, place] : places_) {
        if (!followed.insert(k).second) continue;
        for (const std::shared_ptr<const Program>& holder : holdersOf(k.document)) {
          const size_t h = indexOf(holder);
          if (covered_.contains({h, k})) continue;
          if (const auto d = holder->findDocument(k.document)) anchors.emplace_back(h, *d, k.start);
        }
      }
    }
    for (const auto& [k, place] : places_) out.places.push_back(place);
    return true;
  }

  bool declared(const PlaceKey& k) const { return declared_.contains(k); }

 private:
  size_t indexOf(std::shared_ptr<const Program> program) {
    auto [it, added] = index_.try_emplace(program->documentName(0), out_->programs.size());
    if (added) out_->programs.push_back(std::move(program));
    return it->second;
  }
  const std::vector<std::shared_ptr<const Program>>& holdersOf(const std::string& document) {
    auto it = holders_.find(document);
    if (it == holders_.end()) it = holders_.emplace(document, set_.holding(document)).first;
    return it->second;
  }

  ProgramSet& set_;
  Ask ask_;
  bool strict_;
  PlacesAcross* out_ = nullptr;
  std::map<std::string, size_t> index_;  // by the main document's name
  std::map<std::string, std::vector<std::shared_ptr<const Program>>> holders_;
  std::set<std::pair<size_t, PlaceKey>> covered_;
  std::map<PlaceKey, PlacesAcross::Place> places_;
  std::set<PlaceKey> declared_;
};

// The edits of a rename as the texts of the files they change, and where
// the new name stands in them afterwards.
struct Edited {
  std::map<std::string, std::string> texts;  // by path
  std::set<PlaceKey> newPlaces;
};

Edited edit(const PlacesAcross& found, std::string_view newName) {
  const auto newLength = static_cast<int32_t>(newName.size());
  Edited out;
  // By document, then line, the places in order.
  std::map<std::string, std::map<int32_t, std::vector<const PlacesAcross::Place*>>> byDocument;
  for (const PlacesAcross::Place& p : found.places) {
    const Program& program = *found.programs[p.program];
    byDocument[program.documentName(p.location.document)][p.location.range.start.line].push_back(&p);
  }
  for (const auto& [name, lines] : byDocument) {
    const PlacesAcross::Place& any = *lines.begin()->second.front();
    const Program& program = *found.programs[any.program];
    const DocumentId document = any.location.document;
    const std::string_view text = program.documentText(document);
    std::string result;
    size_t copied = 0;
    for (const auto& [line, places] : lines) {
      const std::string_view lineText = program.lineText(document, line);
      if (lineText.data() < text.data() || lineText.data() > text.data() + text.size()) continue;
      const auto lineStart = static_cast<size_t>(lineText.data() - text.data());
      int32_t shift = 0;
      for (const PlacesAcross::Place* p : places) {
        const Range& r = p->location.range;
        result.append(text.substr(copied, lineStart + static_cast<size_t>(r.start.column) - copied));
        result.append(newName);
        copied = lineStart + static_cast<size_t>(r.end.column);
        out.newPlaces.insert({name, {line, r.start.column + shift}});
        shift += newLength - (r.end.column - r.start.column);
      }
    }
    result.append(text.substr(copied));
    out.texts.emplace(program.documentPath(document), std::move(result));
  }
  return out;
}

}  // namespace

PlacesAcross referencesAcross(ProgramSet& set, std::shared_ptr<const Program> program, DocumentId document,
                              Position p, bool includeDeclaration) {
  Gathering gathering(
      set,
      [](const Program& q, DocumentId d, Position at) {
        Found found;
        auto places = references(q, d, at, true);
        if (!places) return found;
        found.named = true;
        found.places = std::move(*places);
        found.declarations = definition(q, d, at);
        return found;
      },
      false);
  PlacesAcross out;
  if (!gathering.run(std::move(program), document, p, out)) return {};
  if (!includeDeclaration) {
    std::erase_if(out.places, [&](const PlacesAcross::Place& place) {
      const Program& q = *out.programs[place.program];
      return gathering.declared({q.documentName(place.location.document), place.location.range.start});
    });
  }
  return out;
}

PlacesAcross renameAcross(ProgramSet& set, std::shared_ptr<const Program> program, DocumentId document, Position p,
                          std::string_view newName, const KeywordTable& keywords) {
  PlacesAcross out;
  const auto start = prepareRename(*program, document, p);
  if (!start) {
    out.refusal = "there is no name of the program here to rename";
    return out;
  }
  const std::string cannot = "Cannot rename '" + messageValue(start->text) + "': ";
  Gathering gathering(
      set,
      [&](const Program& q, DocumentId d, Position at) {
        Found found;
        if (!q.nameAt(d, at)) return found;
        found.named = true;
        RenameOutcome outcome = rename(q, d, at, newName, keywords);
        found.places = std::move(outcome.places);
        found.refusal = std::move(outcome.refusal);
        return found;
      },
      true);
  if (!gathering.run(std::move(program), document, p, out)) {
    if (!out.refusal.starts_with("Cannot rename")) out.refusal = cannot + out.refusal;
    out.places.clear();
    return out;
  }

  // Each program, read again with the edits made, must read the new name at
  // every place edited and at no other.
  const Edited edited = edit(out, newName);
  if (edited.newPlaces.size() != out.places.size()) {
    out.refusal = cannot + "a place of the name lies outside its file's lines";
    out.places.clear();
    return out;
  }
  for (const std::shared_ptr<const Program>& q : out.programs) {
    const std::shared_ptr<const Program> after = set.withTexts(*q, edited.texts);
    const std::string in = " (in the program " + fileName(after->documentName(0)) + ")";
    std::set<PlaceKey> expected;
    for (const PlaceKey& k : edited.newPlaces) {
      if (after->findDocument(k.document)) expected.insert(k);
    }
    // Each place edited stands for a name whose every place was edited: a
    // name that takes in a place not edited is one the new name clashes
    // with. (Places the program reads as different names, as uses of an
    // undeclared name in different SUBs are, stay different names.)
    std::set<PlaceKey> covered;
    std::string why;
    for (const PlaceKey& k : expected) {
      if (covered.contains(k)) continue;
      const DocumentId d = *after->findDocument(k.document);
      if (!after->nameAt(d, k.start)) {
        why = "at " + where(k) + " '" + messageValue(newName) + "' would not be read as a name";
        break;
      }
      for (const Location& l : rename(*after, d, k.start, newName, keywords).places) {
        const PlaceKey place{after->documentName(l.document), l.range.start};
        if (!expected.contains(place)) {
          why = "'" + messageValue(newName) + "' would then also stand for the name at " + where(place);
          break;
        }
        covered.insert(place);
      }
      if (!why.empty()) break;
      if (!covered.contains(k)) {
        why = "at " + where(k) + " '" + messageValue(newName) + "' would not stand for the renamed name";
        break;
      }
    }
    if (!why.empty()) {
      out.refusal = cannot + why + in;
      out.places.clear();
      return out;
    }
  }
  return out;
}

}  // namespace vennik::language
