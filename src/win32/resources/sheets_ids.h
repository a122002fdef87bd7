/* Resource and control ids of the property pages and small dialogs: the
   disk-image and file properties sheets, the Options sheet, Add sector and
   Details. Read by the resource compiler as well as by C++, so plain
   defines only. */
#ifndef VOLKARN_SHEETS_IDS_H
#define VOLKARN_SHEETS_IDS_H

/* Disk-image properties: "Volume", "Errors", "Media", and Add sector. */
#define IDD_VOLUME_PAGE 104
#define IDC_VOLUME_LABEL 1000
#define IDC_VOLUME_OEM 1001
#define IDC_VOLUME_USED 1024
#define IDC_VOLUME_TOTAL 1025
#define IDC_VOLUME_FREE 1026

#define IDD_ERRORS_PAGE 114
#define IDC_ERRORS_ADD 1017
#define IDC_ERRORS_EDIT 1018
#define IDC_ERRORS_REMOVE 1019
#define IDC_ERRORS_LABEL 1037
#define IDC_ERRORS_LIST 1117

#define IDD_ADD_SECTOR 115
#define IDC_ADD_SECTOR_NUMBER 1020

#define IDD_MEDIA_PAGE 121
#define IDC_MEDIA_BYTES_PER_SECTOR 1038
#define IDC_MEDIA_SECTORS_PER_CLUSTER 1039
#define IDC_MEDIA_RESERVED_SECTORS 1040
#define IDC_MEDIA_FAT_COUNT 1041
#define IDC_MEDIA_ROOT_ENTRIES 1042
#define IDC_MEDIA_HARD_DISK 1044
#define IDC_MEDIA_SERIAL 1045
#define IDC_MEDIA_TOTAL_SECTORS 1048
#define IDC_MEDIA_SECTORS_PER_FAT 1049
#define IDC_MEDIA_SECTORS_PER_TRACK 1050
#define IDC_MEDIA_HEADS 1051
#define IDC_MEDIA_HIDDEN_SECTORS 1052

/* File properties: the page "General". */
#define IDD_FILE_PROPERTIES_PAGE 105
#define IDC_FILE_NAME 1001
#define IDC_FILE_CHANGED 1002
#define IDC_FILE_READ_ONLY 1003
#define IDC_FILE_HIDDEN 1004
#define IDC_FILE_ARCHIVE 1005
#define IDC_FILE_SYSTEM 1006
#define IDC_FILE_LOCATION 1007
#define IDC_FILE_TYPE 1008
#define IDC_FILE_SIZE 1009
#define IDC_FILE_ICON 1025
#define IDC_FILE_NAME_LABEL 1057

/* Options: "FAT name strength", "Default disk-format", "Copy options". */
#define IDD_NAME_STRENGTH_PAGE 123
#define IDC_NAME_STRENGTH 1056
#define IDD_DEFAULT_FORMAT_PAGE 125
#define IDC_DEFAULT_BOOT_SECTOR 1054
#define IDC_DEFAULT_FORMAT 1115
#define IDD_COPY_OPTIONS_PAGE 166
#define IDC_FAST_WRITE 1055

/* Details: the column widths of the main list. */
#define IDD_DETAILS 122
#define IDC_DETAILS_COLUMNS 1046
#define IDC_DETAILS_WIDTH 1047
#define IDC_DETAILS_OPTIMUM 1048

/* The Help button of the dialogs that have one. */
#define IDC_DIALOG_HELP 3

#endif
