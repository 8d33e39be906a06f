#include "shell/export_form.h"
#include "shell/export_dlg.h"

#include "resources/resource_ids.h"
#include "shell/dialog_placement.h"
#include "shell/globals.h"

namespace tsl::shell {

namespace {

std::string ItemText(HWND dialog, int id) {
  char text[32] = {};
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

void SetNumber(HWND dialog, int id, int32_t n) { SetDlgItemTextA(dialog, id, std::to_string(n).c_str()); }

bool KeepRatio(HWND dialog) { return IsDlgButtonChecked(dialog, IDC_EXPORT_KEEP_RATIO) == BST_CHECKED; }

void OnInit(HWND dialog, ExportRequest* req) {
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(req));
  req->aspect = MetafileAspect(req->metafile, req->metafileSize);
  if (req->width == 0) req->width = 800;
  for (const char* item : {"BMP", "PNG", "JPG"})
    SendDlgItemMessageA(dialog, IDC_EXPORT_FORMAT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  SendDlgItemMessageA(dialog, IDC_EXPORT_FORMAT, CB_SETCURSEL, 0, 0);
  CheckDlgButton(dialog, IDC_EXPORT_KEEP_RATIO, BST_CHECKED);
  SetNumber(dialog, IDC_EXPORT_WIDTH, req->width);
  SetDlgItemTextA(dialog, IDC_EXPORT_RATIO, RatioText(req->aspect).c_str());
  SetNumber(dialog, IDC_EXPORT_HEIGHT, HeightForWidth(req->width, req->aspect));
  CentreOnDesktop(dialog);
}

void OnOk(HWND dialog, ExportRequest* req) {
  req->width = ReadPixels(ItemText(dialog, IDC_EXPORT_WIDTH));
  req->height = ReadPixels(ItemText(dialog, IDC_EXPORT_HEIGHT));
  LRESULT format = SendDlgItemMessageA(dialog, IDC_EXPORT_FORMAT, CB_GETCURSEL, 0, 0);
  req->format = format == CB_ERR ? kExportBMP : static_cast<int32_t>(format);
  EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK ExportPropDlg(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* req = reinterpret_cast<ExportRequest*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG:
      OnInit(dialog, reinterpret_cast<ExportRequest*>(lParam));
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_EXPORT_WIDTH:
          if (HIWORD(wParam) == EN_KILLFOCUS && KeepRatio(dialog))
            SetNumber(dialog, IDC_EXPORT_HEIGHT,
                      HeightForWidth(ReadPixels(ItemText(dialog, IDC_EXPORT_WIDTH)), req->aspect));
          return TRUE;
        case IDC_EXPORT_HEIGHT:
          if (HIWORD(wParam) == EN_KILLFOCUS && KeepRatio(dialog))
            SetNumber(dialog, IDC_EXPORT_WIDTH,
                      WidthForHeight(ReadPixels(ItemText(dialog, IDC_EXPORT_HEIGHT)), req->aspect));
          return TRUE;
        case IDOK:
          OnOk(dialog, req);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, IDCANCEL);
          return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace

bool ExportPropBox(HWND owner, ExportRequest* req) {
  return DialogBoxParamA(gvGlobals.instance, MAKEINTRESOURCEA(IDD_EXPORT), owner, ExportPropDlg,
                         reinterpret_cast<LPARAM>(req)) == IDOK;
}

}  // namespace tsl::shell
