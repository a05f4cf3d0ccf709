#include "desktop/window/program_source.h"

#include <cstring>
#include <memory>
#include <string>

namespace vennik {

ProgramSource::ProgramSource(TextView text) {
  const std::string utf8 = toUtf8(text);
  BigArray<char> bytes;
  bytes.resizeForOverwrite(utf8.size());
  if (!utf8.empty()) std::memcpy(bytes.data(), utf8.data(), utf8.size());
  bytes_ = std::make_shared<const BigArray<char>>(std::move(bytes));
}

ProgramSource::ProgramSource(BigArray<char>&& utf8)
    : bytes_(std::make_shared<const BigArray<char>>(std::move(utf8))) {}

std::string_view ProgramSource::utf8() const {
  return bytes_ ? std::string_view(bytes_->data(), bytes_->size()) : std::string_view();
}

}  // namespace vennik
