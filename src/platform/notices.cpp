#include "platform/notices.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "common/strings.h"

namespace tsl {

Notices& NoOneToTell() {
  static SilentNotices silent;  // holds no state: safe from any thread
  return silent;
}

Notice MakeNotice(unsigned id, std::vector<std::string> args, NoticeIcon icon) {
  Notice n;
  n.id = id;
  n.args = std::move(args);
  n.icon = icon;
  return n;
}

Notice MakeSystemNotice(unsigned id, std::string arg, std::string reason) {
  Notice n;
  n.id = id;
  n.args.push_back(std::move(arg));
  n.reason = std::move(reason);
  return n;
}

std::string FillFormat(const std::string& format, const std::vector<std::string>& args) {
  std::string out;
  size_t next = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (c != '%') {
      out.push_back(c);
      continue;
    }
    if (i + 1 < format.size() && format[i + 1] == '%') {
      out.push_back('%');
      ++i;
      continue;
    }
    // Flags, width, precision and length modifiers, then the conversion.
    size_t j = i + 1;
    while (j < format.size() && std::strchr("-+ #0", format[j])) ++j;
    while (j < format.size() && std::isdigit(static_cast<unsigned char>(format[j]))) ++j;
    long precision = -1;
    if (j < format.size() && format[j] == '.') {
      precision = std::strtol(format.c_str() + j + 1, nullptr, 10);
      ++j;
      while (j < format.size() && std::isdigit(static_cast<unsigned char>(format[j]))) ++j;
    }
    while (j < format.size() && std::strchr("hlLqjzt", format[j])) ++j;
    if (j >= format.size()) {
      out.append(format, i, std::string::npos);
      break;
    }
    std::string arg = next < args.size() ? args[next] : std::string();
    ++next;
    if (format[j] == 's' && precision >= 0 && arg.size() > static_cast<size_t>(precision))
      arg.resize(static_cast<size_t>(precision));
    out += arg;
    i = j;
  }
  return out;
}

std::string NoticeText(const Notice& notice) {
  if (notice.id == 0) return notice.reason.value_or(std::string());
  std::vector<std::string> args = notice.args;
  std::string format;
  bool known = LoadString(notice.id, &format);
  if (notice.reason) {
    args.push_back(notice.reason->substr(0, 127));
    if (!known) format = "An unexpected event #" + std::to_string(notice.id) + " has occurred: %s\n\n%s";
    return FillFormat(format, args);
  }
  if (known) return FillFormat(format, args);
  std::string text = "An unexpected event #" + std::to_string(notice.id) + " has occurred";
  for (const std::string& a : args) text += "\n\n" + a;
  return text;
}

std::string NoticeCaption(const Notice& notice) { return notice.caption.empty() ? "Tessella" : notice.caption; }

}  // namespace tsl
