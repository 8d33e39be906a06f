// BMP, PNG and JPEG files of a rendered bitmap.
#include <cerrno>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <png.h>

#include "common/gdi/emf_bytes.h"
#include "common/notify.h"
#include "common/version.h"
#include "output/raster_export.h"

namespace tsl {

namespace {
using gdi::PutU16;
using gdi::PutU32;

struct PngContext {
  std::string* error;
  FILE* file;
};

// A library's message, with the system's reason when the file failed.
std::string WithReason(const char* message, FILE* file, int err) {
  std::string text = message;
  if (file && std::ferror(file) && err) text += ": " + SysErrText(err);
  return text;
}

extern "C" void user_error_fn(png_structp png, png_const_charp message) {
  const int err = errno;  // before anything else can change it
  auto* ctx = static_cast<PngContext*>(png_get_error_ptr(png));
  // The writer's caller tells the user, once, with this as the reason.
  if (ctx && ctx->error) *ctx->error = WithReason(message ? message : "libpng error", ctx->file, err);
  png_longjmp(png, 1);
}

extern "C" void user_warning_fn(png_structp, png_const_charp) {}

struct JpegError {
  jpeg_error_mgr mgr;
  jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  int systemError;
};

extern "C" void JpegErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<JpegError*>(cinfo->err);
  err->systemError = errno;
  (*cinfo->err->format_message)(cinfo, err->message);
  longjmp(err->jump, 1);
}
}  // namespace

bool WriteDib(const MemoryDib& dib, FILE* file) {
  std::vector<uint8_t> info = dib.BitmapInfo();
  uint8_t head[14] = {'B', 'M'};
  uint32_t offBits = 14 + 40 + 256 * 4;
  PutU32(head + 2, offBits + dib.SizeImage());
  PutU16(head + 6, 0);
  PutU16(head + 8, 0);
  PutU32(head + 10, offBits);
  return std::fwrite(head, 1, sizeof head, file) == sizeof head &&
         std::fwrite(info.data(), 1, info.size(), file) == info.size() &&
         std::fwrite(dib.bits.data(), 1, dib.bits.size(), file) == dib.bits.size();
}

bool WritePng(const MemoryDib& dib, FILE* file, const std::string& title, std::string* error) {
  // Everything with a destructor is made before the jump point.
  std::vector<png_bytep> rows(static_cast<size_t>(dib.height));
  for (int32_t r = 0; r < dib.height; ++r)
    rows[static_cast<size_t>(r)] =
        const_cast<png_bytep>(&dib.bits[static_cast<size_t>(dib.height - 1 - r) * dib.stride]);
  png_color palette[256];
  for (int i = 0; i < 256; ++i) palette[i] = {dib.palette[i][2], dib.palette[i][1], dib.palette[i][0]};
  std::string titleText = title;
  char keyTitle[] = "Title", keySoftware[] = "Software", software[] = "Tessella " TESSELLA_VERSION;
  png_text text[2];
  std::memset(text, 0, sizeof text);
  text[0].compression = PNG_TEXT_COMPRESSION_NONE;
  text[0].key = keyTitle;
  text[0].text = &titleText[0];
  text[1].compression = PNG_TEXT_COMPRESSION_NONE;
  text[1].key = keySoftware;
  text[1].text = software;
  PngContext ctx{error, file};

  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &ctx, user_error_fn, user_warning_fn);
  if (!png) {
    *error = "libpng could not start";
    return false;
  }
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    *error = "libpng could not start";
    return false;
  }
  // png and info are not changed after this point, so they are sound after
  // a jump back.
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(dib.width), static_cast<png_uint_32>(dib.height), 8,
               PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_PLTE(png, info, palette, 256);
  png_color_16 background{};
  background.index = 0;  // white
  png_set_bKGD(png, info, &background);
  png_set_text(png, info, text, 2);
  png_set_rows(png, info, rows.data());
  png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::ferror(file) == 0;
}

bool WriteJpeg(const MemoryDib& dib, FILE* file, std::string* error) {
  std::vector<JSAMPLE> row(static_cast<size_t>(dib.width) * 3);
  jpeg_compress_struct cinfo;
  JpegError err;
  std::memset(&cinfo, 0, sizeof cinfo);
  cinfo.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = JpegErrorExit;
  err.message[0] = 0;
  err.systemError = 0;
  if (setjmp(err.jump)) {
    *error = WithReason(err.message, file, err.systemError);
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, file);
  cinfo.image_width = static_cast<JDIMENSION>(dib.width);
  cinfo.image_height = static_cast<JDIMENSION>(dib.height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  for (int32_t r = 0; r < dib.height; ++r) {
    for (int32_t x = 0; x < dib.width; ++x) {
      const uint8_t* c = dib.palette[dib.At(x, r)];
      row[3 * static_cast<size_t>(x)] = c[2];
      row[3 * static_cast<size_t>(x) + 1] = c[1];
      row[3 * static_cast<size_t>(x) + 2] = c[0];
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return std::ferror(file) == 0;
}

}  // namespace tsl
