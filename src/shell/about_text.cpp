#include "shell/about_text.h"

#include "resources/string_ids.h"

#include <png.h>
#include <zlib.h>

#include <cstdio>
// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

#include "common/notify.h"
#include "common/strings.h"
#include "interpreter/tessella.h"
#include "shell/welcome_patch.h"

namespace tsl::shell {

std::string AboutProgramName() { return "Tessella"; }

std::string AboutVersion() { return VersionText(); }

std::string AboutCopyright() { return kCopyright; }

std::string AboutLibraries() {
#ifdef LIBJPEG_TURBO_VERSION_NUMBER
  // libjpeg-turbo is linked statically and has no call that reports its
  // version: the number it was built as is the one in the program.
  unsigned jpeg = LIBJPEG_TURBO_VERSION_NUMBER;
  std::string jpegText = Format("%u.%u.%u", jpeg / 1000000, jpeg / 1000 % 1000, jpeg % 1000);
#else
  std::string jpegText = Format("(libjpeg %d)", JPEG_LIB_VERSION);
#endif
  std::string fmt;
  if (!LoadString(IDS_ABOUT_LIBRARIES, &fmt)) fmt = "zlib %s, libpng %s, libjpeg-turbo %s";
  return Format(fmt.c_str(), zlibVersion(), png_get_libpng_ver(nullptr), jpegText.c_str());
}

}  // namespace tsl::shell
