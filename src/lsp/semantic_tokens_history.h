#pragma once
// The semantic tokens last sent for each document, under the result id they
// were sent with, so that the next request can be answered with the change
// alone. Only the latest result of a document is kept.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vennik::lsp {

class SemanticTokensHistory {
 public:
  // Keeps `data` as the tokens sent for `uri`; returns its new result id.
  std::string keep(const std::string& uri, std::vector<uint32_t> data);
  // The tokens sent for `uri` under `resultId`, or null when they are not
  // the latest (or were never sent).
  const std::vector<uint32_t>* sent(const std::string& uri, std::string_view resultId) const;
  // Drops the documents for which `keep` is false.
  template <typename Keep>
  void prune(Keep&& keep) {
    std::erase_if(kept_, [&](const auto& entry) { return !keep(entry.first); });
  }

 private:
  struct Sent {
    std::string resultId;
    std::vector<uint32_t> data;
  };
  std::map<std::string, Sent, std::less<>> kept_;
  uint64_t serial_ = 0;
};

}  // namespace vennik::lsp
