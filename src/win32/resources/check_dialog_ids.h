/* Resource and control ids of the Check disk and Undelete dialogs (Extras
   menu). Read by the resource compiler as well as by C++, so plain defines
   only. */
#ifndef VOLKARN_CHECK_DIALOG_IDS_H
#define VOLKARN_CHECK_DIALOG_IDS_H

/* Check disk: the findings, what is wrong with the selected one, Fix. */
#define IDD_CHECK_DISK 130
#define IDC_CHECK_SUMMARY 1300
#define IDC_CHECK_FINDINGS 1301
#define IDC_CHECK_DETAILS 1302
#define IDC_CHECK_FIX 1303

/* Undelete: the deleted entries with check boxes, the first character. */
#define IDD_UNDELETE 131
#define IDC_UNDELETE_LIST 1310
#define IDC_UNDELETE_FIRST 1311
#define IDC_UNDELETE_SUMMARY 1312
#define IDC_UNDELETE_RUN 1313

/* The Help button, as in the other dialogs. */
#define IDC_CHECK_DIALOG_HELP 3

#endif
