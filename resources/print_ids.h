/* Resource and control IDs of printing: the Page Setup dialog and its page
   picture. Plain #defines only: windres reads this file too. */
#ifndef TESSELLA_PRINT_IDS_H
#define TESSELLA_PRINT_IDS_H

#define IDD_PAGE_SETUP 4000
#define IDC_PS_PRINTER 4002
#define IDC_PS_PRINTER_SETUP 4004
#define IDC_PS_LEFT 4010
#define IDC_PS_TOP 4011
#define IDC_PS_RIGHT 4012
#define IDC_PS_BOTTOM 4013
#define IDC_PS_HEADING 4020
#define IDC_PS_FOOTER 4021
#define IDC_PS_FIT 4030
#define IDC_PS_ASPECT 4031
#define IDC_PS_CENTER 4032
#define IDC_PS_PICTURE 8000
#define IDB_PAGE_SETUP 8001

/* The frame's help command for the dialog (help context 200). */
#define IDM_HELP_PAGE_SETUP 1251

#endif
