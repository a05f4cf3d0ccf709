#pragma once
// The characters a BASIC name is made of: letters, digits and . _ # @ $ & % !
// (the type suffixes belong to the name). Every other character ends a word.
namespace vennik {

constexpr bool isNameChar(char ch) {
  const auto c = static_cast<unsigned char>(ch);
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
         c == '#' || c == '@' || c == '$' || c == '&' || c == '%' || c == '!';
}

}  // namespace vennik
