/* Resource and control ids of the Choose partition dialog, shown when a
   partitioned disk-image is opened and by File > Open partition. Read by the
   resource compiler as well as by C++, so plain defines only. */
#ifndef VOLKARN_PARTITION_DIALOG_IDS_H
#define VOLKARN_PARTITION_DIALOG_IDS_H

#define IDD_CHOOSE_PARTITION 140
#define IDC_PARTITION_PROMPT 1400
#define IDC_PARTITION_LIST 1401

/* The Help button, as in the other dialogs. */
#define IDC_PARTITION_HELP 3

#endif
