#pragma once
// Reading the parts of request parameters, with a clear InvalidParams
// error naming the field when one is missing or of the wrong type.
#include <cstdint>
#include <string>
#include <string_view>

#include "jsonrpc.h"
#include "text_document.h"

namespace vennik::lsp {

const json& member(const json& object, std::string_view key, std::string_view where);
const json* optionalMember(const json& object, std::string_view key, std::string_view where);
std::string stringMember(const json& object, std::string_view key, std::string_view where);
int32_t intMember(const json& object, std::string_view key, std::string_view where);
bool boolMember(const json& object, std::string_view key, std::string_view where, bool fallback);

// params.textDocument.uri
std::string documentUri(const json& params);
Position positionFrom(const json& value, std::string_view where);
Range rangeFrom(const json& value, std::string_view where);

json toJson(Position p);
json toJson(const Range& r);

}  // namespace vennik::lsp
