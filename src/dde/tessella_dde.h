/* Driving Tessella through DDE: what a client program needs.
 *
 * Service "Tessella" (or the name given with /DDE:name), topics:
 *   "Convert"  execute a command line (plot files and switches, as on the
 *              program's command line): the files are converted.
 *   "Parse"    the same, measure only: no metafile is written.
 *   "Version"  request the item "Version" (CF_TEXT): three lines, program
 *              and version, copyright, web address, NUL-terminated.
 *   "Exit"     execute anything: the program ends.
 * After an execute on "Convert" or "Parse" the service is busy until the
 * conversion is done: executes are refused (DDE_FBUSY) and requests give
 * no data. Poll with a request until one succeeds; any item other than
 * "Version" gives the result of the last run:
 *   CF_TEXT    File="<metafile path>" Width=<w> Height=<h>, NUL-terminated
 *   "TSLData"  (a registered clipboard format) the TSLData record below.
 * A command line that converted nothing leaves an empty path and 0 x 0.
 * Width and height are the drawing's extents in plotter units (0.025 mm).
 *
 * The host viewer's progress plug-in: a library TSL4HV.DLL on the program's
 * search path exporting TSLSetProgress; during a DDE run it is called with
 * the service name and the percentage done, only when that changes.
 */
#ifndef TESSELLA_DDE_H
#define TESSELLA_DDE_H

#include <stdint.h>

#define TSL_DDE_SERVICE "Tessella"
#define TSL_DDE_TOPIC_CONVERT "Convert"
#define TSL_DDE_TOPIC_PARSE "Parse"
#define TSL_DDE_TOPIC_VERSION "Version"
#define TSL_DDE_TOPIC_EXIT "Exit"
#define TSL_DDE_ITEM_VERSION "Version"
#define TSL_DDE_FORMAT "TSLData"
#define TSL_PLUGIN_LIBRARY "TSL4HV.DLL"
#define TSL_PLUGIN_FUNCTION "TSLSetProgress"

#define TSL_DATA_SIZE 268
#define TSL_DATA_PATH 256

/* Little-endian, no padding. */
#pragma pack(push, 1)
typedef struct TSLData {
  uint32_t cbSize;              /* always TSL_DATA_SIZE */
  uint32_t width;               /* drawing width */
  uint32_t height;              /* drawing height */
  char szPath[TSL_DATA_PATH];   /* metafile written, NUL-terminated; all zero when none */
} TSLData;
#pragma pack(pop)

#ifdef __cplusplus
static_assert(sizeof(TSLData) == TSL_DATA_SIZE, "TSLData is 268 bytes");
#else
_Static_assert(sizeof(TSLData) == TSL_DATA_SIZE, "TSLData is 268 bytes");
#endif

#if defined(_WIN32) && !defined(_WIN64)
#define TSL_STDCALL __stdcall
#else
#define TSL_STDCALL
#endif

/* The plug-in's function: service name, percent done (0 to 100); its
 * result is not used. */
typedef int32_t(TSL_STDCALL* TSLSetProgressProc)(const char* service, int32_t percent);

#endif
