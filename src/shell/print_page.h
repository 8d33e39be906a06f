// The print thread's work: one page on the printer's device context.
#pragma once
#include "shell/print_job.h"

namespace tsl::shell {

// Prints the record's metafile (taking it over): the device context from
// the print dialog (or, unattended, the one a batch chose), the heading,
// the footer and the drawing where the page layout puts them. Returns
// PlayEnhMetaFile's result (0 when nothing was printed). `gdi` is the
// loaded GDI32, for GetEnhMetaFilePixelFormat.
DWORD PrintMetaFile(PrintRecord* record, HMODULE gdi);

// The OpenGL preparation of a printer context for a metafile with OpenGL
// records (print_opengl.cpp). Returns the rendering context made current
// (nullptr when none); the palettes it selected and the system colours it
// changed are undone by EndOpenGlPrinting.
struct OpenGlState;
OpenGlState* BeginOpenGlPrinting(HDC dc, HENHMETAFILE emf, HMODULE gdi);
void EndOpenGlPrinting(HDC dc, OpenGlState* state);

}  // namespace tsl::shell
