// Ids of the main window's menus, accelerators, commands and child
// controls. Shared by the resource script and the code.
#pragma once

// Resources
#define IDR_ACCELERATORS 101
#define IDR_MAIN_MENU 102
#define IDR_CONTEXT_MENU 113

// Commands: the low word of WM_COMMAND's first parameter
#define ID_FILE_NEW 40002
#define ID_FILE_OPEN 40003
#define ID_FILE_SAVE 40004
#define ID_FILE_SAVE_AS 40005
#define ID_FILE_CLOSE 40006
#define ID_FILE_EXIT 40007
#define ID_EDIT_DELETE 40009
#define ID_EDIT_RENAME 40010
#define ID_HELP_INDEX 40011
#define ID_HELP_ABOUT 40013
#define ID_EDIT_ADD_FILE 40014
#define ID_FILE_PROPERTIES 40015
#define ID_EDIT_EXTRACT 40017
#define ID_EDIT_PROPERTIES 40018
#define ID_VIEW_REPORT 40019
#define ID_VIEW_ORIGINAL_ORDER 40020
#define ID_VIEW_LIST 40021
#define ID_VIEW_ICON 40022
#define ID_VIEW_SMALL_ICON 40023
#define ID_CONTEXT_MENU_KEY 40024
#define ID_FILE_WRITE_TO_DISK 40025
#define ID_VIEW_DETAILS 40026
#define ID_EXTRAS_OPTIONS 40027
#define ID_VIEW_PARENT_FOLDER 40028
#define ID_EDIT_NEW_FOLDER 40029
#define ID_EDIT_DELETE_FOLDER 40030
#define ID_EXTRAS_CHECK_DISK 40031
#define ID_EXTRAS_UNDELETE 40032
#define ID_FILE_OPEN_PARTITION 40040
#define ID_EXTRAS_VIEW 40041
#define ID_EDIT_SELECT_ALL 40042

// Child controls of the main window
#define IDC_STATUS_BAR 100
#define IDC_EXPLORER_LIST 1000
