#include "lsp/semantic_tokens_history.h"

namespace vennik::lsp {

std::string SemanticTokensHistory::keep(const std::string& uri, std::vector<uint32_t> data) {
  Sent& s = kept_[uri];
  s.resultId = std::to_string(++serial_);
  s.data = std::move(data);
  return s.resultId;
}

const std::vector<uint32_t>* SemanticTokensHistory::sent(const std::string& uri, std::string_view resultId) const {
  auto it = kept_.find(uri);
  return it != kept_.end() && it->second.resultId == resultId ? &it->second.data : nullptr;
}

}  // namespace vennik::lsp
