#include "shell/metafile.h"

namespace tsl::shell {

EnhMetaFile MetafileFromBytes(const std::vector<uint8_t>& emf) {
  if (emf.empty()) return EnhMetaFile();
  return EnhMetaFile(SetEnhMetaFileBits(static_cast<UINT>(emf.size()), emf.data()));
}

std::vector<uint8_t> MetafileBytes(HENHMETAFILE emf) {
  std::vector<uint8_t> bytes;
  UINT n = emf ? GetEnhMetaFileBits(emf, 0, nullptr) : 0;
  if (n == 0) return bytes;
  bytes.resize(n);
  if (GetEnhMetaFileBits(emf, n, bytes.data()) != n) bytes.clear();
  return bytes;
}

RECT FitToClient(long frameWidth, long frameHeight, long clientWidth, long clientHeight) {
  RECT r{0, 0, 0, 0};
  if (frameWidth <= 0 || frameHeight <= 0 || clientWidth <= 0 || clientHeight <= 0) return r;
  // Compare the two aspect ratios without division: width limits when
  // frameWidth / frameHeight >= clientWidth / clientHeight.
  long long fw = frameWidth, fh = frameHeight, cw = clientWidth, ch = clientHeight;
  long long w, h;
  if (fw * ch >= cw * fh) {
    w = cw;
    h = fh * cw / fw;
  } else {
    h = ch;
    w = fw * ch / fh;
  }
  if (w < 1) w = 1;
  if (h < 1) h = 1;
  r.left = static_cast<LONG>((cw - w) / 2);
  r.top = static_cast<LONG>((ch - h) / 2);
  r.right = static_cast<LONG>(r.left + w);
  r.bottom = static_cast<LONG>(r.top + h);
  return r;
}

}  // namespace tsl::shell
