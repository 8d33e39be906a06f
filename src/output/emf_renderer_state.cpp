// Device state, objects, saved states and clipping.
#include <cmath>
#include <cstring>

#include "output/dib.h"
#include "output/emf_renderer.h"
#include "output/utf16.h"
#include "output/cairo_safe.h"
#include "output/record_fields.h"

namespace tsl {

using namespace gdi;

namespace {
constexpr size_t kMaxSavedStates = 4096;
constexpr double kHuge = 1e7;  // beyond any output surface

enum : uint32_t { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };
enum : uint32_t { MWT_IDENTITY = 1, MWT_LEFTMULTIPLY = 2, MWT_RIGHTMULTIPLY = 3, MWT_SET = 4 };
constexpr uint32_t PS_GEOMETRIC = 0x10000;


bool ReadXform(const EmfRecord& r, size_t off, EmfRenderer::Xform* x) {
  float f[6];
  for (int i = 0; i < 6; ++i)
    if (!r.F32(off + 4 * i, &f[i]) || !std::isfinite(f[i])) return false;
  *x = {f[0], f[1], f[2], f[3], f[4], f[5]};
  return true;
}

// a then b.
EmfRenderer::Xform Multiply(const EmfRenderer::Xform& a, const EmfRenderer::Xform& b) {
  return {a.m11 * b.m11 + a.m12 * b.m21, a.m11 * b.m12 + a.m12 * b.m22,
          a.m21 * b.m11 + a.m22 * b.m21, a.m21 * b.m12 + a.m22 * b.m22,
          a.dx * b.m11 + a.dy * b.m21 + b.dx, a.dx * b.m12 + a.dy * b.m22 + b.dy};
}

EmfRenderer::Font StockFont(int index) {
  EmfRenderer::Font f;
  switch (index) {
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case SYSTEM_FIXED_FONT:
      f.height = 12;
      f.face = "Courier New";
      f.pitchAndFamily = 0x31;
      break;
    case DEFAULT_GUI_FONT:
      f.height = -11;
      f.face = "Arial";
      break;
    default:
      f.height = 16;
      f.weight = 700;
      f.face = "Arial";
      break;
  }
  return f;
}
}  // namespace

void EmfRenderer::StockObject(uint32_t index) {
  static const COLORREF kBrushes[] = {0xFFFFFF, 0xC0C0C0, 0x808080, 0x404040, 0x000000};
  if (index <= BLACK_BRUSH) {
    dc_.brush = Brush{BS_SOLID, kBrushes[index], 0, nullptr};
  } else if (index == NULL_BRUSH) {
    dc_.brush = Brush{BS_NULL, 0, 0, nullptr};
  } else if (index == WHITE_PEN || index == BLACK_PEN || index == NULL_PEN) {
    dc_.pen = Pen{};
    dc_.pen.style = index == NULL_PEN ? PS_NULL : PS_SOLID;
    dc_.pen.color = index == WHITE_PEN ? 0xFFFFFF : 0;
  } else if (index == 18) {  // DC_BRUSH
    dc_.brush = Brush{BS_SOLID, 0xFFFFFF, 0, nullptr};
  } else if (index == 19) {  // DC_PEN
    dc_.pen = Pen{};
  } else if (index >= OEM_FIXED_FONT && index <= DEFAULT_GUI_FONT && index != DEFAULT_PALETTE) {
    dc_.font = StockFont(static_cast<int>(index));
  }
}

void EmfRenderer::Select(uint32_t handle) {
  if (handle & kStockFlag) {
    StockObject(handle & ~kStockFlag);
    return;
  }
  if (handle >= objects_.size()) return;
  const Object& o = objects_[handle];
  if (auto* p = std::get_if<Pen>(&o)) dc_.pen = *p;
  if (auto* b = std::get_if<Brush>(&o)) dc_.brush = *b;
  if (auto* f = std::get_if<Font>(&o)) dc_.font = *f;
}

bool EmfRenderer::RegionRects(const EmfRecord& r, size_t off, uint32_t cb,
                              std::vector<std::vector<Pt>>* polys) {
  if (cb < 32 || off > r.size || cb > r.size - off) return false;
  uint32_t count = U32(r, off + 8);
  if (count > (cb - 32) / 16) return false;
  for (uint32_t i = 0; i < count; ++i) {
    size_t at = off + 32 + 16 * static_cast<size_t>(i);
    double l = I32(r, at), t = I32(r, at + 4), rt = I32(r, at + 8), b = I32(r, at + 12);
    std::vector<Pt> poly;
    for (Pt p : {Pt{l, t}, Pt{rt, t}, Pt{rt, b}, Pt{l, b}}) {
      cairo_matrix_transform_point(&base_, &p.x, &p.y);
      poly.push_back(p);
    }
    polys->push_back(std::move(poly));
  }
  return true;
}

void EmfRenderer::ApplyClip() {
  pixelTargetKnown_ = false;
  cairo_path_t* keep = nullptr;
  if (inPath_) {
    UseDevice();
    keep = cairo_copy_path(cr_);
  }
  UseDevice();
  cairo_reset_clip(cr_);
  for (const ClipItem& item : dc_.clip) {
    cairo_new_path(cr_);
    for (const auto& poly : item.polys) {
      if (poly.empty()) continue;
      SafeMoveTo(cr_, poly[0].x, poly[0].y);
      for (size_t i = 1; i < poly.size(); ++i) SafeLineTo(cr_, poly[i].x, poly[i].y);
      cairo_close_path(cr_);
    }
    if (item.exclude) {
      SafeRectangle(cr_, -kHuge, -kHuge, 2 * kHuge, 2 * kHuge);
      cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_EVEN_ODD);
    } else {
      cairo_set_fill_rule(cr_, item.evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    }
    cairo_clip(cr_);
  }
  cairo_new_path(cr_);
  if (keep) {
    cairo_append_path(cr_, keep);
    cairo_path_destroy(keep);
  }
}

void EmfRenderer::AddClip(ClipItem item, bool replace) {
  if (replace) dc_.clip.clear();
  dc_.clip.push_back(std::move(item));
  ApplyClip();
}

void EmfRenderer::ClipToCurrentPath(int mode) {
  if (!havePath_ || !path_) return;
  ClipItem item;
  item.evenOdd = dc_.polyFillMode == ALTERNATE;
  UseDevice();
  cairo_new_path(cr_);
  cairo_append_path(cr_, path_);
  cairo_path_t* flat = cairo_copy_path_flat(cr_);
  cairo_new_path(cr_);
  if (flat && flat->status == CAIRO_STATUS_SUCCESS) {
    for (int i = 0; i < flat->num_data; i += flat->data[i].header.length) {
      const cairo_path_data_t* d = &flat->data[i];
      if (d->header.type == CAIRO_PATH_MOVE_TO) item.polys.emplace_back();
      if ((d->header.type == CAIRO_PATH_MOVE_TO || d->header.type == CAIRO_PATH_LINE_TO) && !item.polys.empty())
        item.polys.back().push_back(Pt{d[1].point.x, d[1].point.y});
    }
  }
  if (flat) cairo_path_destroy(flat);
  cairo_path_destroy(path_);
  path_ = nullptr;
  havePath_ = false;
  if (mode == RGN_DIFF) item.exclude = true;
  AddClip(std::move(item), mode == RGN_COPY || mode == RGN_OR || mode == RGN_XOR);
}

bool EmfRenderer::StateRecord(const EmfRecord& r) {
  switch (r.type) {
    case EMR_HEADER:
    case EMR_GDICOMMENT:
    case EMR_SETMAPPERFLAGS:
    case EMR_SETICMMODE:
    case EMR_SETLAYOUT:
    case EMR_SETSTRETCHBLTMODE:
    case EMR_SETCOLORADJUSTMENT:
    case EMR_SELECTPALETTE:
    case EMR_REALIZEPALETTE:
    case EMR_SETPALETTEENTRIES:
    case EMR_RESIZEPALETTE:
    case EMR_SETMETARGN:
    case EMR_PIXELFORMAT:
      return true;
    case EMR_SETMAPMODE: {
      int mode = I32(r, 8);
      if (mode < MM_TEXT || mode > MM_ANISOTROPIC) return true;
      dc_.mapMode = mode;
      SetFixedExtents();
      Invalidate();
      return true;
    }
    case EMR_SETWINDOWEXTEX:
    case EMR_SETVIEWPORTEXTEX: {
      if (dc_.mapMode != MM_ISOTROPIC && dc_.mapMode != MM_ANISOTROPIC) return true;
      int32_t cx = I32(r, 8), cy = I32(r, 12);
      if (cx == 0 || cy == 0) return true;  // refused, as GDI refuses it
      (r.type == EMR_SETWINDOWEXTEX ? dc_.winExtX : dc_.vpExtX) = cx;
      (r.type == EMR_SETWINDOWEXTEX ? dc_.winExtY : dc_.vpExtY) = cy;
      Invalidate();
      return true;
    }
    case EMR_SETWINDOWORGEX:
      dc_.winOrgX = I32(r, 8);
      dc_.winOrgY = I32(r, 12);
      Invalidate();
      return true;
    case EMR_SETVIEWPORTORGEX:
      dc_.vpOrgX = I32(r, 8);
      dc_.vpOrgY = I32(r, 12);
      Invalidate();
      return true;
    case EMR_SCALEVIEWPORTEXTEX:
    case EMR_SCALEWINDOWEXTEX: {
      if (dc_.mapMode != MM_ISOTROPIC && dc_.mapMode != MM_ANISOTROPIC) return true;
      double xn = I32(r, 8), xd = I32(r, 12), yn = I32(r, 16), yd = I32(r, 20);
      if (xd == 0 || yd == 0 || xn == 0 || yn == 0) return true;
      double& ex = r.type == EMR_SCALEWINDOWEXTEX ? dc_.winExtX : dc_.vpExtX;
      double& ey = r.type == EMR_SCALEWINDOWEXTEX ? dc_.winExtY : dc_.vpExtY;
      ex = std::trunc(ex * xn / xd);
      ey = std::trunc(ey * yn / yd);
      if (ex == 0) ex = 1;
      if (ey == 0) ey = 1;
      Invalidate();
      return true;
    }
    case EMR_SETWORLDTRANSFORM: {
      Xform x;
      if (ReadXform(r, 8, &x)) dc_.world = x;
      Invalidate();
      return true;
    }
    case EMR_MODIFYWORLDTRANSFORM: {
      Xform x;
      uint32_t mode = U32(r, 32);
      if (mode == MWT_IDENTITY) {
        dc_.world = Xform{};
      } else if (ReadXform(r, 8, &x)) {
        if (mode == MWT_LEFTMULTIPLY) dc_.world = Multiply(x, dc_.world);
        if (mode == MWT_RIGHTMULTIPLY) dc_.world = Multiply(dc_.world, x);
        if (mode == MWT_SET) dc_.world = x;
      }
      Invalidate();
      return true;
    }
    case EMR_SETBKMODE: dc_.bkMode = I32(r, 8); return true;
    case EMR_SETBKCOLOR: dc_.bkColor = U32(r, 8) & 0xFFFFFF; return true;
    case EMR_SETTEXTCOLOR: dc_.textColor = U32(r, 8) & 0xFFFFFF; return true;
    case EMR_SETTEXTALIGN: dc_.textAlign = U32(r, 8); return true;
    case EMR_SETPOLYFILLMODE: dc_.polyFillMode = I32(r, 8); return true;
    case EMR_SETARCDIRECTION: dc_.arcDirection = I32(r, 8); return true;
    case EMR_SETROP2: dc_.rop2 = I32(r, 8); return true;
    case EMR_SETBRUSHORGEX:
      dc_.brushOrgX = I32(r, 8);
      dc_.brushOrgY = I32(r, 12);
      return true;
    case EMR_SETMITERLIMIT: {
      float f = 0;
      if (r.F32(8, &f) && std::isfinite(f) && f >= 1) dc_.miterLimit = f;
      return true;
    }
    case EMR_SAVEDC:
      if (saved_.size() < kMaxSavedStates) saved_.push_back(dc_);
      return true;
    case EMR_RESTOREDC: {
      int32_t n = I32(r, 8);
      int64_t index = n < 0 ? static_cast<int64_t>(saved_.size()) + n : static_cast<int64_t>(n) - 1;
      if (n == 0 || index < 0 || index >= static_cast<int64_t>(saved_.size())) return true;
      dc_ = saved_[static_cast<size_t>(index)];
      saved_.resize(static_cast<size_t>(index));
      Invalidate();
      ApplyClip();
      return true;
    }
    case EMR_CREATEPEN: {
      uint32_t slot = U32(r, 8);
      if (slot >= objects_.size()) return true;
      Pen p;
      uint32_t style = U32(r, 12);
      p.style = style & 0xF;
      p.width = I32(r, 16);
      p.color = U32(r, 24) & 0xFFFFFF;
      p.geometric = p.width > 0;
      p.plain = true;
      objects_[slot] = p;
      return true;
    }
    case EMR_EXTCREATEPEN: {
      uint32_t slot = U32(r, 8);
      if (slot >= objects_.size()) return true;
      Pen p;
      uint32_t style = U32(r, 28);
      p.style = style & 0xF;
      p.endCap = style & 0xF00;
      p.join = style & 0xF000;
      p.geometric = (style & PS_GEOMETRIC) != 0;
      p.width = p.geometric ? I32(r, 32) : 0;
      p.color = U32(r, 40) & 0xFFFFFF;
      if (U32(r, 36) == BS_NULL) p.style = PS_NULL;
      uint32_t entries = U32(r, 48);
      if (p.style == 7 && entries <= 64 && 52 + 4 * static_cast<size_t>(entries) <= r.size)
        for (uint32_t i = 0; i < entries; ++i) p.user.push_back(U32(r, 52 + 4 * i));
      objects_[slot] = p;
      return true;
    }
    case EMR_CREATEBRUSHINDIRECT: {
      uint32_t slot = U32(r, 8);
      if (slot >= objects_.size()) return true;
      Brush b;
      b.style = U32(r, 12);
      b.color = U32(r, 16) & 0xFFFFFF;
      b.hatch = U32(r, 20);
      if (b.style != BS_SOLID && b.style != BS_NULL && b.style != BS_HATCHED) b.style = BS_SOLID;
      objects_[slot] = b;
      return true;
    }
    case EMR_CREATEDIBPATTERNBRUSHPT:
    case EMR_CREATEMONOBRUSH: {
      uint32_t slot = U32(r, 8);
      if (slot >= objects_.size()) return true;
      uint32_t offBmi = U32(r, 16), cbBmi = U32(r, 20), offBits = U32(r, 24), cbBits = U32(r, 28);
      Brush b;
      b.style = BS_SOLID;
      b.color = 0x808080;  // stands in when the pattern cannot be read
      if (offBmi <= r.size && cbBmi <= r.size - offBmi && offBits <= r.size && cbBits <= r.size - offBits)
        b.pattern = DecodeDib(r.data + offBmi, cbBmi, r.data + offBits, cbBits);
      objects_[slot] = b;
      return true;
    }
    case EMR_EXTCREATEFONTINDIRECTW: {
      uint32_t slot = U32(r, 8);
      if (slot >= objects_.size() || r.size < 12 + 28) return true;
      Font f;
      f.height = I32(r, 12);
      f.width = I32(r, 16);
      f.escapement = I32(r, 20);
      f.orientation = I32(r, 24);
      f.weight = I32(r, 28);
      f.italic = r.data[32];
      f.underline = r.data[33];
      f.strikeOut = r.data[34];
      f.charSet = r.data[35];
      f.pitchAndFamily = r.data[39];
      size_t chars = r.size >= 104 ? 32 : (r.size - 40) / 2;
      f.face = Utf16ToUtf8(r.data + 40, chars, true);
      objects_[slot] = f;
      return true;
    }
    case EMR_CREATEPALETTE:
    case EMR_CREATECOLORSPACE: {
      uint32_t slot = U32(r, 8);
      if (slot < objects_.size()) objects_[slot] = std::monostate{};
      return true;
    }
    case EMR_SELECTOBJECT: Select(U32(r, 8)); return true;
    case EMR_DELETEOBJECT: {
      // The selected copy stays in use, as in GDI.
      uint32_t slot = U32(r, 8);
      if (slot < objects_.size()) objects_[slot] = std::monostate{};
      return true;
    }
    case EMR_INTERSECTCLIPRECT:
    case EMR_EXCLUDECLIPRECT: {
      double l = I32(r, 8), t = I32(r, 12), rt = I32(r, 16), b = I32(r, 20);
      ClipItem item;
      item.polys.push_back({ToDevice(l, t), ToDevice(rt, t), ToDevice(rt, b), ToDevice(l, b)});
      // The clip region is made of whole pixels, its corners rounded.
      const cairo_matrix_t& m = Full();
      if (m.xy == 0 && m.yx == 0)
        for (Pt& corner : item.polys.back()) corner = {SnapToPixel(corner.x), SnapToPixel(corner.y)};
      item.exclude = r.type == EMR_EXCLUDECLIPRECT;
      AddClip(std::move(item), false);
      return true;
    }
    case EMR_EXTSELECTCLIPRGN: {
      uint32_t cb = U32(r, 8), mode = U32(r, 12);
      if (cb == 0) {
        if (mode == RGN_COPY) {
          dc_.clip.clear();
          ApplyClip();
        }
        return true;
      }
      ClipItem item;
      if (!RegionRects(r, 16, cb, &item.polys)) return true;
      if (mode == RGN_OR && dc_.clip.empty()) return true;  // already everything
      item.exclude = mode == RGN_DIFF;
      AddClip(std::move(item), mode == RGN_COPY || mode == RGN_OR || mode == RGN_XOR);
      return true;
    }
    case EMR_SELECTCLIPPATH: ClipToCurrentPath(I32(r, 8)); return true;
    case EMR_OFFSETCLIPRGN: {
      const cairo_matrix_t& m = Full();
      double dx = I32(r, 8), dy = I32(r, 12);
      cairo_matrix_transform_distance(&m, &dx, &dy);
      for (ClipItem& item : dc_.clip)
        for (auto& poly : item.polys)
          for (Pt& p : poly) {
            p.x += dx;
            p.y += dy;
          }
      ApplyClip();
      return true;
    }
    default:
      return false;
  }
}

}  // namespace tsl
