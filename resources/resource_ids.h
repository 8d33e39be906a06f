/* Resource and command IDs of Tessella.exe, shared by the resource script and
   the code. Plain #defines only: windres reads this file too. */
#ifndef TESSELLA_RESOURCE_IDS_H
#define TESSELLA_RESOURCE_IDS_H

/* Icons, toolbar bitmap, accelerators, the welcome picture. */
#define IDI_TESSELLA 116
#define IDI_TESSELLA_SMALL 117
#define IDB_TOOLBAR 5500
#define IDB_TOOLBAR_IMAGES 11
#define IDR_ACCELERATORS 45
#define IDR_WELCOME 200
#define RT_TSL_METAFILE "METAFILE"

/* Child windows of the frame. */
#define IDC_TOOLBAR 1
#define IDC_CLIENT 2

/* File menu. */
#define IDM_OPEN_HPGL 1001
#define IDM_OPEN_SPECIAL 10001
#define IDM_OPEN_METAFILE 1002
#define IDM_VIEW_LOG 1003
#define IDM_VIEW_SOURCE 1004
#define IDM_SAVE_EMF 1010
#define IDM_EXPORT_AS 1011
#define IDM_SAVE_EMZ 1012
#define IDM_PRINT 1020
#define IDM_PRINTER_SETUP 1021
#define IDM_PAGE_SETUP 1022
#define IDM_PREFERENCES 1025
#define IDM_EXIT 1030

/* Edit menu. */
#define IDM_COPY 1101
#define IDM_PASTE 1102
#define IDM_CLEAR 1105
#define IDM_OPTIONS 1110
#define IDM_EXPORT_SETTINGS 10004
#define IDM_IMPORT_SETTINGS 10005

/* Help menu and the dialogs' help requests. */
#define IDM_HELP_CONTENTS 1201
#define IDM_HELP_SEARCH 1202
#define IDM_ABOUT 1249
#define IDM_HELP_CONTEXT_FIRST 1250
#define IDM_HELP_CONTEXT_LAST 1255
#define IDM_CHECK_UPDATES 10006

/* View menu: fit, 1:1, zoom steps and fixed zooms, shrink wrap. */
#define IDM_FIT_WINDOW 1300
#define IDM_NORMAL_VIEW 1301
#define IDM_ZOOM_IN 1311
#define IDM_ZOOM_2 1312
#define IDM_ZOOM_3 1313
#define IDM_ZOOM_4 1314
#define IDM_ZOOM_5 1315
#define IDM_ZOOM_6 1316
#define IDM_ZOOM_7 1317
#define IDM_ZOOM_8 1318
#define IDM_ZOOM_OUT 1321
#define IDM_ZOOM_1_2 1322
#define IDM_ZOOM_1_3 1323
#define IDM_ZOOM_1_4 1324
#define IDM_ZOOM_1_5 1325
#define IDM_ZOOM_1_6 1326
#define IDM_ZOOM_1_7 1327
#define IDM_ZOOM_1_8 1328
#define IDM_SHRINK_WRAP 1350

/* Scrolling by keyboard. */
#define IDM_SCROLL_PAGE_DOWN 1400
#define IDM_SCROLL_PAGE_UP 1401
#define IDM_SCROLL_LINE_UP 1405
#define IDM_SCROLL_LINE_DOWN 1406
#define IDM_SCROLL_PAGE_LEFT 1410
#define IDM_SCROLL_PAGE_RIGHT 1411
#define IDM_SCROLL_LINE_LEFT 1415
#define IDM_SCROLL_LINE_RIGHT 1416

/* Internal commands sent to the frame. */
#define IDM_RECONVERT 1995
#define IDM_COMMAND_LINE 1999

/* Dialog 102, Open HP-GL Special. */
#define IDD_OPEN_SPECIAL 102
#define IDC_SPECIAL_FILE 1002
#define IDC_SPECIAL_ROT_90 1004
#define IDC_SPECIAL_ROT_180 1005
#define IDC_SPECIAL_ROT_270 1006
#define IDC_SPECIAL_ROT_0 1007
#define IDC_SPECIAL_MIRROR_X 1009
#define IDC_SPECIAL_MIRROR_Y 1010
#define IDC_SPECIAL_FIX_ROTATION 1013
#define IDC_SPECIAL_SCALE 1034
#define IDC_SPECIAL_BROWSE 5090

/* The About box. */
#define IDD_ABOUT 1249
#define IDC_ABOUT_ICON 1260
#define IDC_ABOUT_NAME 1261
#define IDC_ABOUT_VERSION 1262
#define IDC_ABOUT_COPYRIGHT 1263
#define IDC_ABOUT_LIBRARIES 1264

#endif
