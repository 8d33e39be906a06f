#include "cli/print_job.h"

#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <vector>

#include "cli/export_command.h"
#include "common/names.h"
#include "common/notify.h"
#include "common/strings.h"
#include "output/cups_printer.h"
#include "output/print_page.h"
#include "platform/clock.h"

namespace tsl {

namespace {

// The pages waiting for --print-to, in the order they were printed.
std::mutex gSpoolMutex;
std::vector<std::vector<uint8_t>> gSpool;
// What was printed into the file, told once it is written.
std::vector<std::string> gSpoolNotes;

void Tell(unsigned id, const std::string& a, const std::string& b, NoticeIcon icon) {
  std::string fmt;
  if (!LoadString(id, &fmt)) fmt = "%s: %s";
  CurrentNotices().Show(Format(fmt.c_str(), a.c_str(), b.c_str()), "Tessella", icon, NoticeButtons::Ok);
}

bool Fail(const std::string& what, const std::string& why) {
  Tell(40201, what, why, NoticeIcon::Error);
  return false;
}

std::vector<PrintedPage> PagesOf(const std::vector<std::vector<uint8_t>>& metafiles) {
  std::vector<PrintedPage> pages;
  for (const std::vector<uint8_t>& m : metafiles) pages.push_back({m.data(), m.size()});
  return pages;
}

// A folder of our own for the PDF handed to the queue, gone afterwards.
class TempFolder {
 public:
  TempFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string t = std::string(tmp && *tmp ? tmp : "/tmp") + "/tessella-print.XXXXXX";
    if (mkdtemp(&t[0])) path_ = t;
  }
  ~TempFolder() {
    if (path_.empty()) return;
    unlink(File().c_str());
    rmdir(path_.c_str());
  }
  bool ok() const { return !path_.empty(); }
  std::string File() const { return path_ + "/page.pdf"; }

 private:
  std::string path_;
};

bool SendPages(const SettingsSet& settings, const PrintTarget& target, const std::string& what,
               std::vector<std::vector<uint8_t>> metafiles) {
  if (!target.file.empty()) {
    std::lock_guard<std::mutex> lock(gSpoolMutex);
    for (std::vector<uint8_t>& m : metafiles) gSpool.push_back(std::move(m));
    if (!settings.Has(Unattended) && !settings.Has(Quiet)) gSpoolNotes.push_back(what);
    return true;
  }
  std::string queue, error;
  PrinterPaper paper;
  if (!FindPrinter(target.printer, &queue, &paper, &error)) return Fail(what, error);
  PageSetup setup;
  ReadDefaultPageSetup(&setup);
  TempFolder folder;
  if (!folder.ok()) return Fail(what, GetSysErr());
  std::vector<PrintedPage> pages = PagesOf(metafiles);
  if (!WritePrintPdf(pages, setup, paper, SystemClock().Now(), folder.File(), &error)) return Fail(what, error);
  if (!SendToPrinter(queue, folder.File(), DocumentNameOf(pages[0]), &error)) return Fail(what, error);
  if (!settings.Has(Unattended) && !settings.Has(Quiet)) Tell(40200, what, queue, NoticeIcon::Information);
  return true;
}

}  // namespace

bool PrintConversion(const SettingsSet& settings, const PrintTarget& target, const std::string& plot,
                     const RunResult& result) {
  std::vector<std::vector<uint8_t>> metafiles;
  if (!result.memoryMetafile.empty()) {
    metafiles.push_back(result.memoryMetafile);
  } else {
    for (const std::string& page : result.metafiles) {
      std::vector<uint8_t> bytes;
      std::string error;
      // With -T the run has replaced the page's metafile by its EMZ.
      if (!LoadMetafileBytes(page, &bytes, &error) &&
          !(settings.Has(AutoEMZ) && LoadMetafileBytes(ReplaceExtension(page, ".emz"), &bytes, &error)))
        return Fail(plot, error);
      metafiles.push_back(std::move(bytes));
    }
  }
  if (metafiles.empty()) return Fail(plot, "no metafile was written");
  return SendPages(settings, target, plot, std::move(metafiles));
}

bool PrintMetafileFile(const SettingsSet& settings, const PrintTarget& target, const std::string& path) {
  std::vector<uint8_t> bytes;
  std::string error;
  if (!LoadMetafileBytes(path, &bytes, &error)) {
    NotifyUserSE(40042, path.c_str(), error);
    return false;
  }
  std::vector<std::vector<uint8_t>> metafiles;
  metafiles.push_back(std::move(bytes));
  return SendPages(settings, target, path, std::move(metafiles));
}

bool FinishPrintFile(const PrintTarget& target) {
  std::lock_guard<std::mutex> lock(gSpoolMutex);
  if (target.file.empty() || gSpool.empty()) return true;
  PrinterPaper paper;
  if (!target.printer.empty()) {
    // The paper of the queue named, without printing on it.
    std::string queue, error;
    if (!FindPrinter(target.printer, &queue, &paper, &error)) return Fail(target.file, error);
  }
  PageSetup setup;
  ReadDefaultPageSetup(&setup);
  std::string error;
  bool ok = WritePrintPdf(PagesOf(gSpool), setup, paper, SystemClock().Now(), target.file, &error);
  gSpool.clear();
  if (!ok) return Fail(target.file, error);
  for (const std::string& what : gSpoolNotes) Tell(40203, what, target.file, NoticeIcon::Information);
  gSpoolNotes.clear();
  return true;
}

}  // namespace tsl
