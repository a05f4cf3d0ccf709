#include "system/files/path_ops.h"

#include "system/os/platform_services.h"

namespace vennik {

namespace {
bool isSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

// 0-based index of the first separator at or after `from`, npos when none.
size_t findSeparator(TextView s, size_t from) {
  for (size_t i = from; i < s.size(); ++i) {
    if (isSeparator(s[i])) return i;
  }
  return TextView::npos;
}
}  // namespace

Text folderPart(TextView path) {
  for (size_t i = path.size(); i > 0; --i) {
    if (isSeparator(path[i - 1])) return Text(path.substr(0, i));
  }
  return Text();
}

Text absolutePath(TextView path, TextView workingFolder) {
  if (path.empty()) return Text();
  const Text joined = isSeparator(path.front()) ? Text(path) : Text(workingFolder) + Text(path);
  Text out;
  for (size_t start = 0; start < joined.size();) {
    size_t end = findSeparator(joined, start);
    if (end == TextView::npos) end = joined.size();
    const TextView step = TextView(joined).substr(start, end - start);
    if (!step.empty() && step != u".") {
      out.push_back(kPathSeparator);
      out += step;
    }
    start = end + 1;
  }
  // A trailing separator names a folder, and the root is one.
  if (out.empty() || isSeparator(joined.back())) out.push_back(kPathSeparator);
  return out;
}

Text shortenPath(TextView path, int limit) {
  const int64_t len = static_cast<int64_t>(path.size());
  if (len <= limit) return Text(path);

  // Head end: 1-based position of the first separator (at or after the third
  // character for a network path), 0 when there is none.
  bool network = path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1]);
  size_t headIdx = findSeparator(path, network ? 2 : 0);
  int64_t headEnd = headIdx == TextView::npos ? 0 : static_cast<int64_t>(headIdx) + 1;

  // A head that leaves no room for "..." and a tail is shortened to nothing.
  if (headEnd + 3 >= limit) headEnd = 0;

  Text out(path.substr(0, static_cast<size_t>(headEnd)));
  out += u"...";
  int64_t tailFrom = len + headEnd - limit + 4;  // 1-based
  size_t tailIdx = findSeparator(path, static_cast<size_t>(tailFrom - 1));
  if (tailIdx == TextView::npos) {
    // No separator after the tail position: keep the last characters that fit.
    int64_t keep = limit - headEnd - 3;
    out.append(path.substr(static_cast<size_t>(len - keep)));
  } else {
    out.append(path.substr(tailIdx));
  }
  return out;
}

}  // namespace vennik
