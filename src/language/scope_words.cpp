#include "language/scope_words.h"

namespace vennik::language {

const Definition* firstDefinition(const Analysis& a, int32_t scope) {
  for (const Definition& d : a.definitions()) {
    if (d.scope == scope) return &d;
  }
  return nullptr;
}

std::string definitionKindOf(const Analysis& a, int32_t scope) {
  const Definition* d = firstDefinition(a, scope);
  return d ? std::string(definitionKindWord(d->kind)) : "definition";
}

std::string scopeLabel(const Analysis& a, int32_t scope) {
  if (scope == Analysis::kGlobalScope) return "global";
  if (scope == Analysis::kMainScope) return "main program";
  return definitionKindOf(a, scope) + " " + std::string(a.scopeName(scope));
}

std::string scopePhrase(const Analysis& a, int32_t scope) {
  if (scope == Analysis::kGlobalScope) return "the global names";
  if (scope == Analysis::kMainScope) return "the main program";
  return std::string(a.scopeName(scope));
}

std::string scopeLabelFromInside(const Analysis& a, int32_t scope) {
  if (scope == Analysis::kGlobalScope || scope == Analysis::kMainScope) return scopeLabel(a, scope);
  return "local";
}

}  // namespace vennik::language
