#pragma once
// JSON-RPC 2.0 messages as the protocol uses them.
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace vennik::lsp {

using json = nlohmann::json;

struct Incoming {
  enum class Kind { Request, Notification, Response, Invalid };
  Kind kind = Kind::Invalid;
  json id;  // requests (and invalid messages that carried a usable id)
  std::string method;
  json params;        // null when absent
  std::string error;  // why the message is Invalid
};

// A message body parsed; discarded when it is not JSON. A lone surrogate
// escape in a string reads as U+FFFD.
json parseMessage(std::string_view body);

// Sorts a parsed message into a request, a notification, a response to a
// request of ours, or an invalid message.
Incoming classify(json message);

json response(const json& id, json result);
// The same with a result already written as JSON text.
std::string responseText(const json& id, std::string_view resultText);
json notification(std::string_view method, json params);

}  // namespace vennik::lsp
