// The extended-length form of drive and share paths, put on and taken off.
#include "platform/windows/extended_path.h"

namespace farthom {

namespace {

bool StartsWith(std::u16string_view text, std::u16string_view start) {
  return text.substr(0, start.size()) == start;
}

bool IsDrivePath(std::u16string_view path) {
  const bool letter = !path.empty() && ((path[0] >= u'A' && path[0] <= u'Z') ||
                                        (path[0] >= u'a' && path[0] <= u'z'));
  return letter && path.size() >= 3 && path[1] == u':' && path[2] == u'\\';
}

}  // namespace

bool SplitExtendedForm(std::u16string_view path, std::u16string_view& head,
                       std::u16string_view& rest) {
  // "\\?\" and "\\.\" are told apart before "\\" is taken for a server.
  if (StartsWith(path, kExtendedPrefix)) {
    head = u"";
    rest = path;
  } else if (StartsWith(path, u"\\\\.\\")) {
    return false;
  } else if (IsDrivePath(path)) {
    head = kExtendedPrefix;
    rest = path;
  } else if (path.size() >= 3 && StartsWith(path, u"\\\\") && path[2] != u'\\' && path[2] != u'?' &&
             path[2] != u'.') {
    head = kExtendedSharePrefix;
    rest = path.substr(2);
  } else {
    return false;
  }
  return true;
}

std::u16string WithoutExtendedPrefix(std::u16string_view path) {
  if (StartsWith(path, kExtendedSharePrefix)) {
    return u"\\\\" + std::u16string(path.substr(kExtendedSharePrefix.size()));
  }
  if (StartsWith(path, kExtendedPrefix) && IsDrivePath(path.substr(kExtendedPrefix.size()))) {
    return std::u16string(path.substr(kExtendedPrefix.size()));
  }
  return std::u16string(path);
}

}  // namespace farthom
