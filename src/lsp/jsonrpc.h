#pragma once
// JSON-RPC 2.0 messages as the protocol uses them.
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace vennik::lsp {

using json = nlohmann::json;

namespace error_code {
constexpr int kParseError = -32700;
constexpr int kInvalidRequest = -32600;
constexpr int kMethodNotFound = -32601;
constexpr int kInvalidParams = -32602;
constexpr int kInternalError = -32603;
constexpr int kServerNotInitialized = -32002;
constexpr int kRequestFailed = -32803;
}  // namespace error_code

// A failure that a request caused, answered as an error response.
struct RequestError {
  int code = error_code::kInvalidParams;
  std::string message;
};

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
json errorResponse(const json& id, int code, std::string_view message);
json notification(std::string_view method, json params);

}  // namespace vennik::lsp
