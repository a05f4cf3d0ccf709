#include "navigation.h"

#include "params.h"
#include "places.h"

namespace vennik::lsp {

namespace {
json locations(const std::string& uri, const Analysis& a, const std::vector<Occurrence>& places,
               PositionEncoding encoding) {
  json out = json::array();
  for (const Occurrence& o : places) out.push_back(location(uri, rangeOf(a, o, encoding)));
  return out;
}
}  // namespace

json definition(const Workspace& ws, const json& params) {
  const NameAtPosition at = nameAtPosition(ws, params);
  if (!at.occurrence) return nullptr;
  const auto places = at.analysed->index.declarationsOf(at.target);
  if (places.empty()) return nullptr;
  return locations(at.document->uri, at.analysed->analysis, places, ws.encoding());
}

json references(const Workspace& ws, const json& params) {
  const NameAtPosition at = nameAtPosition(ws, params);
  if (!at.occurrence) return nullptr;
  bool withDeclaration = true;
  if (const json* context = optionalMember(params, "context", "params")) {
    withDeclaration = boolMember(*context, "includeDeclaration", "params.context", true);
  }
  const NameLookup& index = at.analysed->index;
  std::vector<Occurrence> places = index.occurrencesOf(at.target);
  if (!withDeclaration) {
    const auto declared = index.declarationsOf(at.target);
    std::erase_if(places, [&](const Occurrence& o) {
      for (const Occurrence& d : declared) {
        if (d.line == o.line && d.column == o.column) return true;
      }
      return false;
    });
  }
  return locations(at.document->uri, at.analysed->analysis, places, ws.encoding());
}

}  // namespace vennik::lsp
