/* Resource ids of the About box and of the program's icons. Read by the
   resource compiler as well as by C++, so plain defines only. */
#ifndef VOLKARN_DIALOG_IDS_H
#define VOLKARN_DIALOG_IDS_H

/* Icons. The shell names the disk-image icon by its position among the
   icon groups (index 2), so 100 to 102 must stay the three lowest. */
#define IDI_PROGRAM 100
#define IDI_DRIVE 101
#define IDI_DISK_IMAGE 102
#define IDI_FOLDER_CLOSED 110
#define IDI_FOLDER_OPEN 111
#define IDI_FILE 112

/* The About box. */
#define IDD_ABOUT 124
#define IDC_ABOUT_PRODUCT 1050
#define IDC_ABOUT_HOMEPAGE 1051
#define IDC_ABOUT_EMAIL 1052
#define IDC_ABOUT_OPEN_HOMEPAGE 1053
#define IDC_ABOUT_SEND_EMAIL 1054
#define IDC_ABOUT_VERSION 1055
#define IDC_ABOUT_PRODUCER 1056

#endif
