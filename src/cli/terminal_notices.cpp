#include "cli/terminal_notices.h"

#include <cstdio>
#include <ostream>

#include "cli/report.h"
#include "resources/string_ids.h"

namespace tsl {

namespace {

std::string Quoted(const std::vector<std::string>& args, size_t i) {
  return "'" + (i < args.size() ? args[i] : std::string()) + "'";
}

// The string-table text on one line: paragraphs joined with ": ".
std::string Flattened(const Notice& notice) {
  Notice bare = notice;
  bare.reason.reset();
  std::string text = NoticeText(bare);
  for (size_t p; (p = text.find("\n\n")) != std::string::npos;) text.replace(p, 2, ": ");
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  while (!text.empty() && (text.back() == ' ' || text.back() == ':')) text.pop_back();
  return text;
}

}  // namespace

std::string TerminalText(const Notice& n, const char** kind) {
  const std::vector<std::string>& a = n.args;
  *kind = n.reason || n.icon == NoticeIcon::Error ? "error" : n.icon == NoticeIcon::Warning ? "warning" : "";
  std::string text;
  switch (n.id) {
    case 0: break;
    case IDS_WRITE_LOG_FAILED: text = "the log " + Quoted(a, 0) + " could not be written"; break;
    case IDS_WRITE_COLOR_FILE_FAILED: text = "the colour file " + Quoted(a, 0) + " could not be written"; break;
    case IDS_WRITE_METAFILE_FAILED: text = "the metafile " + Quoted(a, 0) + " could not be written"; break;
    case IDS_WRITE_BITMAP_FAILED:
    case IDS_EXPORT_FAILED: text = Quoted(a, 0) + " could not be exported"; break;
    case IDS_READ_PLOT_FAILED: text = "the plot file could not be read to its end"; break;
    case IDS_COMPRESS_FAILED:
      text = Quoted(a, 0) + " could not be compressed into " + Quoted(a, 1) + " (the metafile is kept)";
      break;
    case IDS_ALLOCATION_FAILED:
      text = "out of memory (" + (a.empty() ? std::string("?") : a[0]) + " bytes could not be allocated)";
      *kind = "error";
      break;
    case IDS_OPEN_FAILED: text = "cannot open " + Quoted(a, 0); break;
    case IDS_BAD_PLOT_EXTENSION:
      text = "not converted: a plot file may not be named .emf, .emz, .bmp or .log";
      *kind = "error";
      break;
    case IDS_REGISTRY_WRITE_FAILED: text = "the settings could not be saved"; break;
    default: text = Flattened(n);
  }
  if (n.reason) text += text.empty() ? *n.reason : ": " + *n.reason;
  return text;
}

std::string FilesWritten(const RunResult& result) {
  std::string list;
  for (size_t i = 0; i < result.files.size(); ++i) {
    if (i > 0) list += i + 1 == result.files.size() ? " and " : ", ";
    list += result.files[i];
  }
  return list;
}

TerminalNotices::TerminalNotices(std::string subject, std::ostream* out) : subject_(std::move(subject)), out_(out) {}

TerminalNotices::TerminalNotices(std::string subject, Reporter& reporter)
    : subject_(std::move(subject)), out_(nullptr), reporter_(&reporter) {}

void TerminalNotices::Write(const std::string& line) {
  if (out_) {
    *out_ << line << std::flush;
    return;
  }
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

void TerminalNotices::Say(const char* kind, const std::string& text) {
  if (reporter_) {
    std::string k = kind ? kind : "";
    if (k == "error") reporter_->Error(subject_, text);
    else if (k == "warning") reporter_->Warning(subject_, text);
    else reporter_->Note((subject_.empty() ? "" : subject_ + ": ") + text);
    return;
  }
  std::string line = "tessella: ";
  if (!subject_.empty()) line += subject_ + ": ";
  if (kind && *kind) line += std::string(kind) + ": ";
  Write(line + text + "\n");
}

NoticeAnswer TerminalNotices::Tell(const Notice& notice) {
  switch (notice.id) {
    // The outcome of a conversion: said once, with its files, by
    // TellOutcome; the desktop's question is answered no.
    case IDS_VIEW_LOG_QUESTION:
    case IDS_CONVERTED:
    case IDS_CONVERTED_AND_COPIED:
    case IDS_CONVERTED_TO_CLIPBOARD:
    case IDS_PAGES_WRITTEN:
      outcomeWanted_ = true;
      return notice.IsQuestion() ? NoticeAnswer::No : NoticeAnswer::Ok;
    default: break;
  }
  const char* kind = "";
  std::string text = TerminalText(notice, &kind);
  // Nobody answers here: a question takes no, and the line says so.
  if (notice.IsQuestion()) {
    while (!text.empty() && (text.back() == '?' || text.back() == ' ')) text.pop_back();
    text += ": no";
  }
  // A notice captioned with a file (a plot that cannot be opened) is about
  // that file.
  if (subject_.empty() && !notice.caption.empty()) {
    TerminalNotices about(notice.caption, out_);
    about.reporter_ = reporter_;
    about.Say(kind, text);
  } else {
    Say(kind, text);
  }
  return notice.IsQuestion() ? NoticeAnswer::No : NoticeAnswer::Ok;
}

void TerminalNotices::TellOutcome(const RunResult& result, const OutputNames& names) {
  std::string text = result.files.empty() ? std::string("converted") : "wrote " + FilesWritten(result);
  std::vector<std::string> facts;
  if (result.pages > 1) facts.push_back(std::to_string(result.pages) + " pages");
  if (result.warnings) facts.push_back(std::to_string(result.warnings) + (result.warnings == 1 ? " warning" : " warnings"));
  if (result.errors) facts.push_back(std::to_string(result.errors) + (result.errors == 1 ? " error" : " errors"));
  if (result.notes) facts.push_back(std::to_string(result.notes) + (result.notes == 1 ? " comment" : " comments"));
  for (size_t i = 0; i < facts.size(); ++i) text += (i == 0 ? " (" : ", ") + facts[i];
  if (!facts.empty()) text += ")";
  if (result.HasLogEntries() && result.logKept) text += "; see " + names.log;
  Say("", text);
}

}  // namespace tsl
