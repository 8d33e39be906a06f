// Text records: fonts through fontconfig, escapement, alignment, advance
// widths, background and clipping options.
#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <cstring>

#include "output/emf_renderer.h"
#include "output/utf16.h"
#include "common/gdi/emf_bytes.h"
#include "output/cairo_safe.h"
#include "output/record_fields.h"

namespace tsl {

using namespace gdi;

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr uint32_t ETO_OPAQUE = 0x2, ETO_CLIPPED = 0x4, ETO_GLYPH_INDEX = 0x10, ETO_PDY = 0x2000;
constexpr size_t kMaxChars = 1u << 20;
constexpr double kMaxGlyphSize = 65536;  // output units



struct Vec {
  double x, y;
};
Vec Linear(const cairo_matrix_t& m, Vec v) { return {m.xx * v.x + m.xy * v.y, m.yx * v.x + m.yy * v.y}; }
}  // namespace

cairo_font_face_t* EmfRenderer::FaceFor(const Font& f, FaceMetrics* metrics) {
  std::string family = f.face;
  if (family.empty()) {
    switch (f.pitchAndFamily & 0xF0) {
      case 0x10: family = "serif"; break;
      case 0x30: family = "monospace"; break;
      default: family = "sans-serif"; break;
    }
  }
  bool bold = f.weight >= 600;
  std::string key = family + (bold ? "|b" : "|") + (f.italic ? "i" : "");
  for (const CachedFace& c : faces_)
    if (c.key == key) {
      *metrics = c.metrics;
      return c.face;
    }
  if (faces_.size() >= 64) return nullptr;  // a hostile file naming endless faces
  cairo_font_face_t* face = cairo_toy_font_face_create(
      family.c_str(), f.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
      bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  FaceMetrics m;
  cairo_matrix_t size, ctm;
  cairo_matrix_init_scale(&size, 1000, 1000);
  cairo_matrix_init_identity(&ctm);
  cairo_font_options_t* opts = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(opts, CAIRO_HINT_METRICS_OFF);
  cairo_scaled_font_t* sf = cairo_scaled_font_create(face, &size, &ctm, opts);
  cairo_font_options_destroy(opts);
  if (cairo_scaled_font_status(sf) == CAIRO_STATUS_SUCCESS) {
    cairo_font_extents_t fe;
    cairo_scaled_font_extents(sf, &fe);
    if (fe.ascent > 0) m.ascent = fe.ascent / 1000;
    if (fe.descent > 0) m.descent = fe.descent / 1000;
    if (cairo_scaled_font_get_type(sf) == CAIRO_FONT_TYPE_FT) {
      // Windows measures lfWidth against the average character width.
      FT_Face ft = cairo_ft_scaled_font_lock_face(sf);
      if (ft) {
        auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
        if (os2 && ft->units_per_EM && os2->xAvgCharWidth > 0)
          m.avgWidth = static_cast<double>(os2->xAvgCharWidth) / ft->units_per_EM;
        cairo_ft_scaled_font_unlock_face(sf);
      }
    }
  }
  cairo_scaled_font_destroy(sf);
  faces_.push_back({key, face, m});
  *metrics = m;
  return face;
}

void EmfRenderer::TextOut(const EmfRecord& r, bool wide) {
  if (r.size < 76) return;
  Pt ref{static_cast<double>(I32(r, 36)), static_cast<double>(I32(r, 40))};
  uint32_t nChars = U32(r, 44), offString = U32(r, 48), options = U32(r, 52), offDx = U32(r, 72);
  // Glyph indices name glyphs of the recording machine's font, which is
  // not the one here: such text is left out rather than garbled.
  if (options & ETO_GLYPH_INDEX) return;
  size_t unit = wide ? 2 : 1;
  if (nChars == 0 || nChars > kMaxChars || offString > r.size || nChars > (r.size - offString) / unit) return;
  Pt rclA{static_cast<double>(I32(r, 56)), static_cast<double>(I32(r, 60))};
  Pt rclB{static_cast<double>(I32(r, 64)), static_cast<double>(I32(r, 68))};

  // Code points with the index of their first UTF-16 unit.
  std::vector<uint32_t> cps, firstUnit;
  std::string utf8;
  if (wide) {
    const uint8_t* s = r.data + offString;
    for (uint32_t i = 0; i < nChars; ++i) {
      size_t n = 1;
      uint32_t c = gdi::GetU16(s + 2 * i);
      if (c >= 0xD800 && c < 0xDC00 && i + 1 < nChars) {
        uint32_t d = gdi::GetU16(s + 2 * i + 2);
        if (d >= 0xDC00 && d < 0xE000) n = 2;
      }
      firstUnit.push_back(i);
      utf8 += Utf16ToUtf8(s + 2 * i, n, false);
      i += static_cast<uint32_t>(n - 1);
    }
  } else {
    for (uint32_t i = 0; i < nChars; ++i) {
      uint8_t b = r.data[offString + i];
      uint16_t c = gdi::Cp1252ToUnicode(b);
      uint8_t le[2] = {static_cast<uint8_t>(c & 0xFF), static_cast<uint8_t>(c >> 8)};
      firstUnit.push_back(i);
      utf8 += Utf16ToUtf8(le, 1, false);
    }
  }
  // Advance widths in logical units, when the record has them.
  std::vector<double> dx;
  size_t step = (options & ETO_PDY) ? 8 : 4;
  if (offDx && offDx <= r.size && nChars <= (r.size - offDx) / step)
    for (uint32_t i = 0; i < nChars; ++i) dx.push_back(I32(r, offDx + step * i));

  const Font& f = dc_.font;
  FaceMetrics fm;
  cairo_font_face_t* face = FaceFor(f, &fm);
  if (!face) return;
  const cairo_matrix_t& full = Full();
  bool flips = FlipsY();
  double em;
  if (f.height < 0)
    em = -static_cast<double>(f.height);
  else if (f.height > 0)
    em = f.height / (fm.ascent + fm.descent);
  else
    em = 12 / (LinearScaleX() > 0 ? LinearScaleX() : 1);
  double emX = f.width ? std::fabs(static_cast<double>(f.width)) / fm.avgWidth : em;
  double theta = f.escapement / 10.0 * kPi / 180;
  // Baseline direction and "up" in logical space. GDI turns the escapement
  // the same way in logical space whatever the mapping, so under a mapping
  // with y upward 2700 runs up the page (as the plotter's labels expect).
  Vec dir{std::cos(theta), -std::sin(theta)};
  Vec up = flips ? Vec{std::sin(theta), std::cos(theta)} : Vec{-std::sin(theta), -std::cos(theta)};
  Vec gx = Linear(full, {dir.x * emX, dir.y * emX});
  Vec gy = Linear(full, {-up.x * em, -up.y * em});
  cairo_matrix_t fontMatrix;
  cairo_matrix_init(&fontMatrix, gx.x, gx.y, gy.x, gy.y, 0, 0);
  double det = gx.x * gy.y - gx.y * gy.x;
  if (!std::isfinite(det) || std::fabs(det) < 1e-9) return;
  // Glyphs beyond any output size are not drawn (cairo mishandles them).
  if (std::hypot(gx.x, gx.y) > kMaxGlyphSize || std::hypot(gy.x, gy.y) > kMaxGlyphSize) return;

  if (dc_.textAlign & TA_UPDATECP) ref = dc_.cur;
  Pt origin = ToDevice(ref.x, ref.y);
  if (options_.pixelCentres) {
    origin.x -= 0.5;  // glyph outlines are not strokes
    origin.y -= 0.5;
  }
  UseDevice();
  cairo_path_t* keep = inPath_ ? cairo_copy_path(cr_) : nullptr;
  cairo_save(cr_);
  cairo_set_font_face(cr_, face);
  cairo_set_font_matrix(cr_, &fontMatrix);
  cairo_font_options_t* opts = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(opts, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(opts, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_antialias(opts, options_.antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
  cairo_set_font_options(cr_, opts);
  cairo_font_options_destroy(opts);
  cairo_scaled_font_t* sf = cairo_get_scaled_font(cr_);

  cairo_glyph_t* glyphs = nullptr;
  int nGlyphs = 0;
  cairo_text_cluster_t* clusters = nullptr;
  int nClusters = 0;
  cairo_text_cluster_flags_t flags;
  if (cairo_scaled_font_text_to_glyphs(sf, 0, 0, utf8.data(), static_cast<int>(utf8.size()), &glyphs, &nGlyphs,
                                       &clusters, &nClusters, &flags) != CAIRO_STATUS_SUCCESS) {
    cairo_restore(cr_);
    if (keep) cairo_path_destroy(keep);
    return;
  }
  // The advance of the whole text, on the output.
  Vec advance{0, 0};
  bool oneToOne = nGlyphs == static_cast<int>(firstUnit.size()) && nClusters == nGlyphs;
  if (!dx.empty() && oneToOne) {
    double sum = 0;
    Vec d = Linear(full, dir);
    for (int i = 0; i < nGlyphs; ++i) {
      glyphs[i].x = d.x * sum;
      glyphs[i].y = d.y * sum;
      uint32_t u = firstUnit[static_cast<size_t>(i)];
      uint32_t uEnd = i + 1 < nGlyphs ? firstUnit[static_cast<size_t>(i) + 1] : nChars;
      for (uint32_t k = u; k < uEnd; ++k) sum += dx[k];
    }
    advance = {d.x * sum, d.y * sum};
  } else {
    cairo_text_extents_t te;
    cairo_scaled_font_glyph_extents(sf, glyphs, nGlyphs, &te);
    advance = {te.x_advance, te.y_advance};
  }
  Vec down = {gy.x, gy.y};  // one em downwards on the output
  double ox = origin.x, oy = origin.y;
  if (options_.pixelCentres) {
    // GDI puts the reference point on a whole pixel.
    ox = std::floor(ox + 0.5);
    oy = std::floor(oy + 0.5);
  }
  switch (dc_.textAlign & 6) {
    case TA_RIGHT: ox -= advance.x; oy -= advance.y; break;
    case TA_CENTER: {
      double length = std::hypot(advance.x, advance.y);
      // On a bitmap GDI centres by half the text's width in whole pixels,
      // truncated.
      double half = options_.pixelCentres ? std::trunc(std::round(length) / 2) : length / 2;
      if (length > 0) {
        ox -= advance.x / length * half;
        oy -= advance.y / length * half;
      }
      break;
    }
    default: break;
  }
  switch (dc_.textAlign & TA_BASELINE) {
    case TA_BASELINE: break;
    case TA_BOTTOM: ox -= down.x * fm.descent; oy -= down.y * fm.descent; break;
    default: ox += down.x * fm.ascent; oy += down.y * fm.ascent; break;  // TA_TOP
  }
  for (int i = 0; i < nGlyphs; ++i) {
    glyphs[i].x += ox;
    glyphs[i].y += oy;
  }

  if (options & ETO_OPAQUE) {
    SetSourceColor(dc_.bkColor);
    Pt a = ToDevice(rclA.x, rclA.y), b = ToDevice(rclB.x, rclB.y), c = ToDevice(rclA.x, rclB.y),
       d = ToDevice(rclB.x, rclA.y);
    cairo_new_path(cr_);
    SafeMoveTo(cr_, a.x, a.y);
    SafeLineTo(cr_, d.x, d.y);
    SafeLineTo(cr_, b.x, b.y);
    SafeLineTo(cr_, c.x, c.y);
    cairo_fill(cr_);
  }
  if (options & ETO_CLIPPED) {
    UseLogical();
    cairo_new_path(cr_);
    SafeRectangle(cr_, rclA.x, rclA.y, rclB.x - rclA.x, rclB.y - rclA.y);
    UseDevice();
    cairo_clip(cr_);
  }
  if (dc_.bkMode == OPAQUE && !inPath_) {
    SetSourceColor(dc_.bkColor);
    double tx = ox - down.x * fm.ascent, ty = oy - down.y * fm.ascent;
    double h = fm.ascent + fm.descent;
    cairo_new_path(cr_);
    SafeMoveTo(cr_, tx, ty);
    cairo_rel_line_to(cr_, advance.x, advance.y);
    cairo_rel_line_to(cr_, down.x * h, down.y * h);
    cairo_rel_line_to(cr_, -advance.x, -advance.y);
    cairo_fill(cr_);
  }
  cairo_new_path(cr_);
  if (keep) cairo_append_path(cr_, keep);
  SetSourceColor(dc_.textColor);
  if (inPath_) {
    cairo_glyph_path(cr_, glyphs, nGlyphs);
  } else if (options_.textRuns && dc_.rop2 != 11) {
    TextRun run;
    run.utf8 = utf8;
    run.family = f.face;
    run.genericFamily = f.pitchAndFamily;
    run.bold = f.weight >= 600;
    run.italic = f.italic != 0;
    run.underline = f.underline != 0;
    run.strikeOut = f.strikeOut != 0;
    run.color = dc_.textColor;
    run.glyphSpace = fontMatrix;
    run.glyphSpace.x0 = nGlyphs ? glyphs[0].x : ox;
    run.glyphSpace.y0 = nGlyphs ? glyphs[0].y : oy;
    if (oneToOne)
      for (int i = 0; i < nGlyphs; ++i) {
        run.xs.push_back(glyphs[i].x);
        run.ys.push_back(glyphs[i].y);
      }
    options_.textRuns->push_back(std::move(run));
  } else if (dc_.rop2 != 11) {
    // Text with its clusters stays text (copyable) on vector surfaces.
    cairo_show_text_glyphs(cr_, utf8.data(), static_cast<int>(utf8.size()), glyphs, nGlyphs, clusters, nClusters,
                           flags);
    for (int line = 0; line < 2; ++line) {
      if (!(line == 0 ? f.underline : f.strikeOut)) continue;
      double at = line == 0 ? fm.descent * 0.45 : -fm.ascent * 0.3, thick = 0.06;
      double sx = ox + down.x * at, sy = oy + down.y * at;
      cairo_new_path(cr_);
      SafeMoveTo(cr_, sx - down.x * thick / 2, sy - down.y * thick / 2);
      cairo_rel_line_to(cr_, advance.x, advance.y);
      cairo_rel_line_to(cr_, down.x * thick, down.y * thick);
      cairo_rel_line_to(cr_, -advance.x, -advance.y);
      cairo_fill(cr_);
    }
  }
  cairo_path_t* built = inPath_ ? cairo_copy_path(cr_) : nullptr;
  cairo_glyph_free(glyphs);
  cairo_text_cluster_free(clusters);
  cairo_restore(cr_);
  cairo_new_path(cr_);
  if (built) {
    cairo_append_path(cr_, built);
    cairo_path_destroy(built);
  }
  if (keep) cairo_path_destroy(keep);

  if (dc_.textAlign & TA_UPDATECP) {
    // The current position moves along the text, in logical units.
    cairo_matrix_t inv = full;
    if (cairo_matrix_invert(&inv) == CAIRO_STATUS_SUCCESS) {
      Vec l = Linear(inv, advance);
      if ((dc_.textAlign & 6) == TA_LEFT) {
        dc_.cur.x += l.x;
        dc_.cur.y += l.y;
      } else if ((dc_.textAlign & 6) == TA_RIGHT) {
        dc_.cur.x -= l.x;
        dc_.cur.y -= l.y;
      }
    }
  }
}

}  // namespace tsl
