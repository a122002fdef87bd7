// String-table ids of PELWICK. The texts are in strings.inc, one VK_STRING line per id.
// Plain defines, so that the resource script can include this file too.
#ifndef PELWICK_STRING_IDS_H
#define PELWICK_STRING_IDS_H

// Caption of every message box
#define IDS_CAPTION                 100

// Message-box texts
#define IDS_MSG_NOT_REGISTERED      101
#define IDS_MSG_CONFIRM_UNREGISTER  102
#define IDS_MSG_UNREGISTERED        103
#define IDS_MSG_UNREGISTER_FAILED   104

#endif  // PELWICK_STRING_IDS_H
