#include "cli/print_job.h"

#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <vector>

#include "cli/export_command.h"
#include "common/names.h"
#include "common/notify.h"
#include "output/cups_printer.h"
#include "output/print_page.h"
#include "platform/clock.h"
#include "resources/string_ids.h"

namespace tsl {

namespace {

// The pages waiting for --print-to, in the order they were printed.
std::mutex gSpoolMutex;
std::vector<std::vector<uint8_t>> gSpool;
// What was printed into the file, told once it is written.
std::vector<std::string> gSpoolNotes;

bool Fail(Notices& notices, const std::string& what, const std::string& why) {
  Notice n = MakeSystemNotice(IDS_PRINT_FAILED, what, why);
  n.icon = NoticeIcon::Error;
  notices.Tell(n);
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

bool SendPages(Notices& notices, const SettingsSet& settings, const PrintTarget& target, const std::string& what,
               std::vector<std::vector<uint8_t>> metafiles) {
  if (!target.file.empty()) {
    std::lock_guard<std::mutex> lock(gSpoolMutex);
    for (std::vector<uint8_t>& m : metafiles) gSpool.push_back(std::move(m));
    if (!settings.Has(Unattended) && !settings.Has(Quiet)) gSpoolNotes.push_back(what);
    return true;
  }
  std::string queue, error;
  PrinterPaper paper;
  if (!FindPrinter(target.printer, &queue, &paper, &error)) return Fail(notices, what, error);
  PageSetup setup;
  ReadDefaultPageSetup(&setup);
  TempFolder folder;
  if (!folder.ok()) return Fail(notices, what, GetSysErr());
  std::vector<PrintedPage> pages = PagesOf(metafiles);
  if (!WritePrintPdf(pages, setup, paper, SystemClock().Now(), folder.File(), &error))
    return Fail(notices, what, error);
  if (!SendToPrinter(queue, folder.File(), DocumentNameOf(pages[0]), &error)) return Fail(notices, what, error);
  if (!settings.Has(Unattended) && !settings.Has(Quiet))
    notices.Tell(MakeNotice(IDS_PRINT_SENT, {what, queue}, NoticeIcon::Information));
  return true;
}

}  // namespace

bool PrintConversion(Notices& notices, const SettingsSet& settings, const PrintTarget& target,
                     const std::string& plot, const RunResult& result) {
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
        return Fail(notices, plot, error);
      metafiles.push_back(std::move(bytes));
    }
  }
  if (metafiles.empty()) return Fail(notices, plot, "no metafile was written");
  return SendPages(notices, settings, target, plot, std::move(metafiles));
}

bool PrintMetafileFile(Notices& notices, const SettingsSet& settings, const PrintTarget& target,
                       const std::string& path) {
  std::vector<uint8_t> bytes;
  std::string error;
  if (!LoadMetafileBytes(path, &bytes, &error)) return Fail(notices, path, error);
  std::vector<std::vector<uint8_t>> metafiles;
  metafiles.push_back(std::move(bytes));
  return SendPages(notices, settings, target, path, std::move(metafiles));
}

bool FinishPrintFile(Notices& notices, const PrintTarget& target) {
  std::lock_guard<std::mutex> lock(gSpoolMutex);
  if (target.file.empty() || gSpool.empty()) return true;
  PrinterPaper paper;
  if (!target.printer.empty()) {
    // The paper of the queue named, without printing on it.
    std::string queue, error;
    if (!FindPrinter(target.printer, &queue, &paper, &error)) return Fail(notices, target.file, error);
  }
  PageSetup setup;
  ReadDefaultPageSetup(&setup);
  std::string error;
  bool ok = WritePrintPdf(PagesOf(gSpool), setup, paper, SystemClock().Now(), target.file, &error);
  gSpool.clear();
  if (!ok) return Fail(notices, target.file, error);
  for (const std::string& what : gSpoolNotes)
    notices.Tell(MakeNotice(IDS_PRINTED_INTO, {what, target.file}, NoticeIcon::Information));
  gSpoolNotes.clear();
  return true;
}

}  // namespace tsl
