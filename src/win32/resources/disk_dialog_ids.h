/* Resource and control ids of the floppy-disk dialogs: New disk-image, Write
   to disk, Custom disk-format and the two progress windows. Read by the
   resource compiler as well as by C++, so plain defines only. */
#ifndef VOLKARN_DISK_DIALOG_IDS_H
#define VOLKARN_DISK_DIALOG_IDS_H

/* Shared by the dialogs that pick a drive. */
#define IDC_DRIVE_LIST 1116
#define IDC_DISK_DIALOG_HELP 3

/* New disk-image. */
#define IDD_NEW_IMAGE 109
#define IDC_NEW_COPY_FROM_DISK 1007
#define IDC_NEW_CHOOSE_FORMAT 1008
#define IDC_NEW_FORMAT_LIST 1115
#define IDC_NEW_BOOT_SECTOR_LIST 1117

/* Write to disk. */
#define IDD_WRITE_TO_DISK 118
#define IDC_WRITE_FORMAT_DISK 1119

/* Custom disk-format. */
#define IDD_CUSTOM_FORMAT 120
#define IDC_CUSTOM_MEDIA_BYTE 1001
#define IDC_CUSTOM_BYTES_PER_SECTOR 1026
#define IDC_CUSTOM_SECTORS_PER_CLUSTER 1027
#define IDC_CUSTOM_RESERVED_SECTORS 1028
#define IDC_CUSTOM_FAT_COUNT 1029
#define IDC_CUSTOM_ROOT_ENTRIES 1030
#define IDC_CUSTOM_TOTAL_SECTORS 1031
#define IDC_CUSTOM_SECTORS_PER_FAT 1032
#define IDC_CUSTOM_SECTORS_PER_TRACK 1033
#define IDC_CUSTOM_HEADS 1034
#define IDC_CUSTOM_HIDDEN_SECTORS 1035
#define IDC_CUSTOM_TOTAL_KB 1036
#define IDC_CUSTOM_FORMATTED_KB 1037
#define IDC_CUSTOM_HIDDEN_LABEL 1038

/* The progress windows of reading and writing a disk; the same controls in
   both. */
#define IDD_PROGRESS_READING 116
#define IDD_PROGRESS_WRITING 117
#define IDC_PROGRESS_BAR 1011
#define IDC_PROGRESS_PERCENT 1012
#define IDC_PROGRESS_CAPACITY 1015

#endif
