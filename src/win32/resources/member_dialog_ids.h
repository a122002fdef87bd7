/* Resource and control ids of the Choose file dialog, shown when a zip
   holding several disk-images is opened. Read by the resource compiler as
   well as by C++, so plain defines only. */
#ifndef VOLKARN_MEMBER_DIALOG_IDS_H
#define VOLKARN_MEMBER_DIALOG_IDS_H

#define IDD_CHOOSE_MEMBER 141
#define IDC_MEMBER_PROMPT 1410
#define IDC_MEMBER_LIST 1411

/* The Help button, as in the other dialogs. */
#define IDC_MEMBER_HELP 3

#endif
