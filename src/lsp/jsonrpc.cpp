#include "lsp/jsonrpc.h"

#include "lsp/lone_surrogates.h"

namespace vennik::lsp {

json parseMessage(std::string_view body) {
  json message = json::parse(body, nullptr, false);
  if (message.is_discarded()) {
    // Repaired only when the parse failed, so valid messages cost nothing more.
    if (auto repaired = withLoneSurrogatesReplaced(body)) message = json::parse(*repaired, nullptr, false);
  }
  return message;
}

Incoming classify(json message) {
  Incoming in;
  if (!message.is_object()) {
    in.error = "a message must be a JSON object";
    return in;
  }
  auto id = message.find("id");
  const bool hasId = id != message.end();
  const bool usableId = hasId && (id->is_string() || id->is_number_integer());
  if (usableId) in.id = *id;
  auto method = message.find("method");
  if (method == message.end()) {
    if (hasId && (message.contains("result") || message.contains("error"))) {
      in.kind = Incoming::Kind::Response;
      return in;
    }
    in.error = "a message needs a method";
    return in;
  }
  if (!method->is_string()) {
    in.error = "method must be a string";
    return in;
  }
  in.method = method->get<std::string>();
  if (hasId && !usableId) {
    in.error = "id must be an integer or a string";
    return in;
  }
  // A null params is taken as none, as some clients send it so.
  auto params = message.find("params");
  if (params != message.end() && !params->is_null()) {
    if (!params->is_object() && !params->is_array()) {
      in.error = "params must be an object or an array";
      return in;
    }
    in.params = std::move(*params);
  }
  in.kind = hasId ? Incoming::Kind::Request : Incoming::Kind::Notification;
  return in;
}

json response(const json& id, json result) {
  return json{{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}};
}

std::string responseText(const json& id, std::string_view resultText) {
  std::string out = R"({"jsonrpc":"2.0","id":)";
  out += id.dump();
  out += R"(,"result":)";
  out += resultText;
  out += '}';
  return out;
}

json notification(std::string_view method, json params) {
  return json{{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}};
}

}  // namespace vennik::lsp
