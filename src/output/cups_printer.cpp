#include "output/cups_printer.h"

#include <cups/cups.h>

#include <memory>

namespace tsl {

namespace {

struct DestDeleter {
  void operator()(cups_dest_t* d) const { cupsFreeDests(1, d); }
};
struct InfoDeleter {
  void operator()(cups_dinfo_t* i) const { cupsFreeDestInfo(i); }
};

std::string LastError() {
  const char* text = cupsLastErrorString();
  return text && *text ? text : "the print service did not answer";
}

}  // namespace

bool FindPrinter(const std::string& name, std::string* queue, PrinterPaper* paper, std::string* error) {
  std::unique_ptr<cups_dest_t, DestDeleter> dest(
      cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.empty() ? nullptr : name.c_str(), nullptr));
  if (!dest) {
    // cupsGetNamedDest says "not found" for a server that is down, too.
    if (cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE && cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND)
      *error = LastError();
    else
      *error = name.empty() ? "there is no default printer (name one with --printer)"
                            : "there is no printer named '" + name + "'";
    return false;
  }
  *queue = dest->name;
  *paper = PrinterPaper();
  std::unique_ptr<cups_dinfo_t, InfoDeleter> info(cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest.get()));
  if (!info) return true;  // a queue that tells nothing prints on A4
  // The queue's "media" default by name first: cupsGetDestMediaDefault
  // alone may answer with a media-col default (often Letter) that is not
  // the paper the queue puts out.
  cups_size_t size{};
  ipp_attribute_t* media = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest.get(), info.get(), CUPS_MEDIA);
  const char* mediaName = media ? ippGetString(media, 0, nullptr) : nullptr;
  bool known = mediaName && cupsGetDestMediaByName(CUPS_HTTP_DEFAULT, dest.get(), info.get(), mediaName, 0, &size);
  if (!known) known = cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, dest.get(), info.get(), 0, &size);
  if (known && size.width > 0 && size.length > 0) {
    paper->width = size.width;
    paper->length = size.length;
    paper->left = size.left;
    paper->right = size.right;
    paper->top = size.top;
    paper->bottom = size.bottom;
  }
  if (ipp_attribute_t* res = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest.get(), info.get(), "printer-resolution")) {
    int yres = 0;
    ipp_res_t units = IPP_RES_PER_INCH;
    int xres = ippGetResolution(res, 0, &yres, &units);
    if (units == IPP_RES_PER_CM) xres = static_cast<int>(xres * 2.54 + 0.5);
    if (xres >= 72 && xres <= 9600) paper->dpi = xres;
  }
  return true;
}

int SendToPrinter(const std::string& queue, const std::string& pdf, const std::string& title, std::string* error) {
  cups_option_t* options = nullptr;
  int n = cupsAddOption("document-format", "application/pdf", 0, &options);
  int job = cupsPrintFile(queue.c_str(), pdf.c_str(), title.c_str(), n, options);
  cupsFreeOptions(n, options);
  if (job <= 0) {
    *error = LastError();
    return 0;
  }
  return job;
}

}  // namespace tsl
