/* Resource and control ids of the View dialog, which shows a file of the
   image read-only. Read by the resource compiler as well as by C++, so plain
   defines only. */
#ifndef VOLKARN_VIEWER_DIALOG_IDS_H
#define VOLKARN_VIEWER_DIALOG_IDS_H

#define IDD_VIEW_FILE 142
#define IDC_VIEW_AREA 1420      /* where the text goes: a Unicode edit control is made over it */
#define IDC_VIEW_NOTE 1421
#define IDC_VIEW_FIND_LABEL 1422
#define IDC_VIEW_FIND 1423
#define IDC_VIEW_FIND_NEXT 1424
#define IDC_VIEW_COPY 1425
#define IDC_VIEW_TEXT 1426      /* the edit control itself */

/* The Help button, as in the other dialogs. */
#define IDC_VIEW_HELP 3

#endif
