#include "params.h"

#include <limits>

namespace vennik::lsp {

namespace {

[[noreturn]] void invalid(std::string_view where, std::string_view key, std::string_view what) {
  std::string path(where);
  if (!key.empty()) path += (path.empty() ? "" : ".") + std::string(key);
  throw RequestError{error_code::kInvalidParams, path + " " + std::string(what)};
}

uint32_t unsignedMember(const json& object, std::string_view key, std::string_view where) {
  const json& v = member(object, key, where);
  if (!v.is_number_integer() || v.get<int64_t>() < 0 || v.get<int64_t>() > std::numeric_limits<uint32_t>::max()) {
    invalid(where, key, "must be a non-negative integer");
  }
  return v.get<uint32_t>();
}

}  // namespace

const json& member(const json& object, std::string_view key, std::string_view where) {
  if (!object.is_object()) invalid(where, "", "must be an object");
  auto it = object.find(key);
  if (it == object.end()) invalid(where, key, "is missing");
  return *it;
}

const json* optionalMember(const json& object, std::string_view key, std::string_view where) {
  if (!object.is_object()) invalid(where, "", "must be an object");
  auto it = object.find(key);
  return it == object.end() || it->is_null() ? nullptr : &*it;
}

std::string stringMember(const json& object, std::string_view key, std::string_view where) {
  const json& v = member(object, key, where);
  if (!v.is_string()) invalid(where, key, "must be a string");
  return v.get<std::string>();
}

int32_t intMember(const json& object, std::string_view key, std::string_view where) {
  const json& v = member(object, key, where);
  if (!v.is_number_integer() || v.get<int64_t>() < std::numeric_limits<int32_t>::min() ||
      v.get<int64_t>() > std::numeric_limits<int32_t>::max()) {
    invalid(where, key, "must be an integer");
  }
  return v.get<int32_t>();
}

bool boolMember(const json& object, std::string_view key, std::string_view where, bool fallback) {
  const json* v = optionalMember(object, key, where);
  if (!v) return fallback;
  if (!v->is_boolean()) invalid(where, key, "must be true or false");
  return v->get<bool>();
}

std::string documentUri(const json& params) {
  return stringMember(member(params, "textDocument", "params"), "uri", "params.textDocument");
}

Position positionFrom(const json& value, std::string_view where) {
  if (!value.is_object()) invalid(where, "", "must be an object");
  return {unsignedMember(value, "line", where), unsignedMember(value, "character", where)};
}

Range rangeFrom(const json& value, std::string_view where) {
  const std::string w(where);
  return {positionFrom(member(value, "start", where), w + ".start"), positionFrom(member(value, "end", where), w + ".end")};
}

json toJson(Position p) { return json{{"line", p.line}, {"character", p.character}}; }

json toJson(const Range& r) { return json{{"start", toJson(r.start)}, {"end", toJson(r.end)}}; }

}  // namespace vennik::lsp
