#include "output/cups_printer.h"

#include <cups/cups.h>
#include <dlfcn.h>

#include <cstring>
#include <memory>

namespace tsl {

namespace {

// CUPS is loaded when a print needs it: most runs print nothing, and the
// library with what it pulls in (TLS, Kerberos, D-Bus: some thirty
// libraries) would cost every start of the program milliseconds.
struct CupsApi {
  decltype(&cupsGetNamedDest) getNamedDest = nullptr;
  decltype(&cupsFreeDests) freeDests = nullptr;
  decltype(&cupsCopyDestInfo) copyDestInfo = nullptr;
  decltype(&cupsFreeDestInfo) freeDestInfo = nullptr;
  decltype(&cupsFindDestDefault) findDestDefault = nullptr;
  decltype(&cupsGetDestMediaByName) getDestMediaByName = nullptr;
  decltype(&cupsGetDestMediaDefault) getDestMediaDefault = nullptr;
  decltype(&ippGetString) ippString = nullptr;
  decltype(&ippGetResolution) ippResolution = nullptr;
  decltype(&cupsLastError) lastError = nullptr;
  decltype(&cupsLastErrorString) lastErrorString = nullptr;
  decltype(&cupsAddOption) addOption = nullptr;
  decltype(&cupsFreeOptions) freeOptions = nullptr;
  decltype(&cupsPrintFile) printFile = nullptr;
  std::string error;  // why it could not be loaded ("" when it was)
};

template <class Function>
bool Bind(void* library, const char* name, Function* out) {
  void* symbol = dlsym(library, name);
  if (!symbol) return false;
  static_assert(sizeof(Function) == sizeof symbol, "a function pointer as wide as a data pointer");
  std::memcpy(out, &symbol, sizeof symbol);
  return true;
}

CupsApi LoadCups() {
  CupsApi api;
  void* library = dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    const char* why = dlerror();
    api.error = std::string("the CUPS library (libcups.so.2) cannot be loaded") + (why ? ": " + std::string(why) : "");
    return api;
  }
  // Kept loaded for the rest of the run.
  const bool bound = Bind(library, "cupsGetNamedDest", &api.getNamedDest) &&
                     Bind(library, "cupsFreeDests", &api.freeDests) &&
                     Bind(library, "cupsCopyDestInfo", &api.copyDestInfo) &&
                     Bind(library, "cupsFreeDestInfo", &api.freeDestInfo) &&
                     Bind(library, "cupsFindDestDefault", &api.findDestDefault) &&
                     Bind(library, "cupsGetDestMediaByName", &api.getDestMediaByName) &&
                     Bind(library, "cupsGetDestMediaDefault", &api.getDestMediaDefault) &&
                     Bind(library, "ippGetString", &api.ippString) &&
                     Bind(library, "ippGetResolution", &api.ippResolution) &&
                     Bind(library, "cupsLastError", &api.lastError) &&
                     Bind(library, "cupsLastErrorString", &api.lastErrorString) &&
                     Bind(library, "cupsAddOption", &api.addOption) &&
                     Bind(library, "cupsFreeOptions", &api.freeOptions) &&
                     Bind(library, "cupsPrintFile", &api.printFile);
  if (!bound) api.error = "the CUPS library (libcups.so.2) is too old: it lacks functions printing needs";
  return api;
}

const CupsApi& Cups() {
  static const CupsApi api = LoadCups();
  return api;
}

struct DestDeleter {
  void operator()(cups_dest_t* d) const { Cups().freeDests(1, d); }
};
struct InfoDeleter {
  void operator()(cups_dinfo_t* i) const { Cups().freeDestInfo(i); }
};

std::string LastError() {
  const char* text = Cups().lastErrorString();
  return text && *text ? text : "the print service did not answer";
}

}  // namespace

bool FindPrinter(const std::string& name, std::string* queue, PrinterPaper* paper, std::string* error) {
  const CupsApi& cups = Cups();
  if (!cups.error.empty()) {
    *error = cups.error;
    return false;
  }
  std::unique_ptr<cups_dest_t, DestDeleter> dest(
      cups.getNamedDest(CUPS_HTTP_DEFAULT, name.empty() ? nullptr : name.c_str(), nullptr));
  if (!dest) {
    // cupsGetNamedDest says "not found" for a server that is down, too.
    if (cups.lastError() > IPP_STATUS_OK_EVENTS_COMPLETE && cups.lastError() != IPP_STATUS_ERROR_NOT_FOUND)
      *error = LastError();
    else
      *error = name.empty() ? "there is no default printer (name one with --printer)"
                            : "there is no printer named '" + name + "'";
    return false;
  }
  *queue = dest->name;
  *paper = PrinterPaper();
  std::unique_ptr<cups_dinfo_t, InfoDeleter> info(cups.copyDestInfo(CUPS_HTTP_DEFAULT, dest.get()));
  if (!info) return true;  // a queue that tells nothing prints on A4
  // The queue's "media" default by name first: cupsGetDestMediaDefault
  // alone may answer with a media-col default (often Letter) that is not
  // the paper the queue puts out.
  cups_size_t size{};
  ipp_attribute_t* media = cups.findDestDefault(CUPS_HTTP_DEFAULT, dest.get(), info.get(), CUPS_MEDIA);
  const char* mediaName = media ? cups.ippString(media, 0, nullptr) : nullptr;
  bool known = mediaName && cups.getDestMediaByName(CUPS_HTTP_DEFAULT, dest.get(), info.get(), mediaName, 0, &size);
  if (!known) known = cups.getDestMediaDefault(CUPS_HTTP_DEFAULT, dest.get(), info.get(), 0, &size);
  if (known && size.width > 0 && size.length > 0) {
    paper->width = size.width;
    paper->length = size.length;
    paper->left = size.left;
    paper->right = size.right;
    paper->top = size.top;
    paper->bottom = size.bottom;
  }
  if (ipp_attribute_t* res = cups.findDestDefault(CUPS_HTTP_DEFAULT, dest.get(), info.get(), "printer-resolution")) {
    int yres = 0;
    ipp_res_t units = IPP_RES_PER_INCH;
    int xres = cups.ippResolution(res, 0, &yres, &units);
    if (units == IPP_RES_PER_CM) xres = static_cast<int>(xres * 2.54 + 0.5);
    if (xres >= 72 && xres <= 9600) paper->dpi = xres;
  }
  return true;
}

int SendToPrinter(const std::string& queue, const std::string& pdf, const std::string& title, std::string* error) {
  const CupsApi& cups = Cups();
  if (!cups.error.empty()) {
    *error = cups.error;
    return 0;
  }
  cups_option_t* options = nullptr;
  int n = cups.addOption("document-format", "application/pdf", 0, &options);
  int job = cups.printFile(queue.c_str(), pdf.c_str(), title.c_str(), n, options);
  cups.freeOptions(n, options);
  if (job <= 0) {
    *error = LastError();
    return 0;
  }
  return job;
}

}  // namespace tsl
