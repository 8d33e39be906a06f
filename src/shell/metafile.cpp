#include "shell/metafile.h"

#include "platform/win32/system_text.h"

namespace tsl::shell {

EnhMetaFile OpenEnhMetaFile(const std::string& path, std::string* error) {
  SetLastError(0);
  HENHMETAFILE h = GetEnhMetaFileA(path.c_str());
  if (!h && error) {
    DWORD code = GetLastError();
    // GDI does not always set an error for a file that is no metafile.
    *error = code ? win32::SystemErrorText(code) : "The file is not an enhanced metafile.";
  }
  return EnhMetaFile(h);
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

void PaintFitted(HDC dc, HENHMETAFILE emf, const RECT& client) {
  ENHMETAHEADER header{};
  if (!emf || !GetEnhMetaFileHeader(emf, sizeof header, &header)) return;
  long fw = header.rclFrame.right - header.rclFrame.left;
  long fh = header.rclFrame.bottom - header.rclFrame.top;
  RECT target = FitToClient(fw, fh, client.right - client.left, client.bottom - client.top);
  if (target.right <= target.left) return;
  OffsetRect(&target, client.left, client.top);
  PlayEnhMetaFile(dc, emf, &target);
}

}  // namespace tsl::shell
