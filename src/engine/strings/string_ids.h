// String-table ids of Volkarn. The texts are in strings.inc, one VK_STRING line per id.
#pragma once

namespace vk {

enum StringId : unsigned {
    // Program name and main-list column headers
    kStrProgramName = 1,
    kStrColFilename = 2,
    kStrColSize = 3,
    kStrColLastChange = 4,
    kStrColAttributes = 5,

    // Filters of the file choosers ('|'-separated) and the default image extension
    kStrDiskImageFilter = 6,
    kStrAllFilesFilter = 7,
    kStrDefaultExtension = 30,

    // Format descriptions of the format table, named by media byte
    kStrFormatF8 = 11,
    kStrFormatF9 = 12,
    kStrFormatFA = 13,
    kStrFormatFB = 14,
    kStrFormatFC = 15,
    kStrFormatFD = 16,
    kStrFormatFE = 17,
    kStrFormatFF = 18,
    kStrFormatF0 = 49,
    kStrCustomFormat = 33,

    // Boot-sector template names, in template order
    kStrBootMsxDos = 57,
    kStrBootMsxDos22 = 58,
    kStrBootMsDos6 = 59,

    // Captions, list and page texts
    kStrUntitled = 29,
    kStrDriveCapacity = 32,
    kStrImagePropertiesCaption = 34,
    kStrBadSectorsColumn = 35,
    kStrCommentCaption = 55,
    kStrOptionsCaption = 62,
    kStrFileSizeDetails = 24,
    kStrFileTypeFormat = 25,
    kStrDirectoryType = 26,
    kStrObjectCount = 78,
    kStrSelectedCount = 79,

    // Fallback text for system errors without a text of their own
    kStrErrorCode = 66,

    // Shell association texts
    kStrProgIdDescription = 44,
    kStrVerbOpen = 45,
    kStrVerbWriteToDisk = 46,

    // About box addresses
    kStrHomepageUrl = 83,
    kStrEmailAddress = 84,

    // Image document: open, check, save
    kMsgImageModified = 8,
    kMsgFileTooLarge = 19,
    kMsgFileTooSmall = 20,
    kMsgBackupFatMismatch = 22,
    kMsgNotValidImage = 23,
    kMsgFormatByteUsed = 27,
    kMsgOutOfMemory = 28,
    kMsgOpenedReadOnly = 53,
    kMsgImageCompressed = 54,
    kMsgHardDiskImage = 60,
    kMsgHardDiskNoPartition = 61,
    kMsgNoMemoryForImage = 71,

    // Media-error file
    kMsgErrorFileUnknown = 42,
    kMsgMediaErrorsNotWritten = 43,

    // Help, and windows that could not be made
    kMsgHelpFailed = 9,
    kMsgWindowNotCreated = 21,
    kMsgNoSectorNumber = 40,
    kMsgBadSectorNumber = 41,

    // Directory and file operations
    kMsgLabelRootFull = 31,
    kMsgNameTooLong = 36,
    kMsgNameBlank = 37,
    kMsgNameInvalid = 38,
    kMsgNameBadChars = 39,
    kMsgCannotSaveDirOrLabel = 56,
    kMsgImageTooSmall = 72,
    kMsgDiskFull = 73,
    kMsgReplaceEntry = 74,
    kMsgDirectoryFull = 75,
    kMsgReplaceHostFile = 76,
    kMsgStoredFileCorrupt = 77,
    kMsgDeleteFile = 80,
    kMsgCannotDeleteDir = 81,
    kMsgCannotSaveEntry = 82,

    // Floppy-drive access
    kMsgReadDiskWarning = 52,
    kMsgSectorReadFailed = 67,
    kMsgUnsupportedFileSystem = 68,
    kMsgZeroCapacity = 69,
    kMsgSectorWriteFailed = 70,

    // Registration and command line
    kMsgRegisterOk = 47,
    kMsgRegisterFailed = 48,
    kMsgRegisterUnsupported = 65,
    kMsgMissingFilename = 95,

    // Texts of our own, for faults the original messages do not cover.
    kMsgFormatTooSmall = 200,
    kMsgFormatZeroField = 201,
    kMsgTrackGeometryZero = 202,
    kMsgFormatNoTracks = 203,
    kMsgFormatFieldTooLarge = 204,

    // Saving: the .der file beside the image.
    kMsgErrorFileKept = 210,
    // Images the engine cannot change soundly, and custom formats that are no FAT12.
    kMsgLayoutOutsideReadOnly = 221,
    kMsgGuessedLayoutReadOnly = 222,
    kMsgChangeRefused = 223,
    kMsgExtractionRefused = 224,
    kMsgFormatNoBootOrRoot = 225,
    kMsgFormatClusterSize = 226,
    kMsgFormatMediaByte = 227,
    kMsgFormatTooManyClusters = 228,
    kMsgFormatFatTooSmall = 229,

    // Directory entries: names, long names and folders
    kMsgFileOverFolder = 230,

    // Host files that cannot be added, and extraction targets that must not be written.
    kMsgExtractOntoOpenImage = 240,
    kMsgAddNotAFile = 241,
    kMsgAddFileLongerThanListed = 242,
    // The question with "Yes to all", and extracting several entries into
    // one folder.
    kStrButtonYes = 250,
    kStrButtonYesToAll = 251,
    kStrButtonNo = 252,
    kStrButtonCancel = 253,
    kStrExtractFolderTitle = 254,
    kMsgExtractSummary = 255,
    // Paths into folders, and folders made in the image.
    kMsgPathNotFound = 256,
    kMsgPathAboveRoot = 257,
    kMsgFolderNameTaken = 258,
    kMsgDeleteFolderTree = 259,
    kMsgDeleteFolder = 260,

    // Boot sectors that describe no possible disk, and changes that would
    // free or reuse clusters another entry still owns.
    kMsgLayoutNoSectorsPerFat = 270,
    kMsgLayoutNoSectorsPerCluster = 271,
    kMsgLayoutNoFats = 272,
    kMsgLayoutNoTotalSectors = 273,
    kMsgLayoutNoReservedSectors = 274,
    kMsgLayoutSectorSize = 275,
    kMsgLayoutFatTooSmall = 276,
    kMsgClustersShared = 277,
    // Names one command hands out twice get numeric tails.
    kMsgExtractedUnderTail = 290,
    kMsgAddedUnderTail = 291,
    // Saves in place: a journal of one broken off, found when opening.
    kMsgSaveRolledBack = 300,
    kMsgSaveBrokenOffReadOnly = 301,
    kMsgNoSaveJournal = 302,
    kMsgRollBackFailed = 303,
    // Checking and mending a disk: the kinds of finding (a list's kind column),
    // places, what is wrong, what a fix does, undelete and the summaries.
    kStrFindBootSector = 304,
    kStrFindFatCopies = 305,
    kStrFindLostChain = 306,
    kStrFindCrossLink = 307,
    kStrFindSharedFolder = 308,
    kStrFindChainIntoFree = 309,
    kStrFindChainIntoReserved = 310,
    kStrFindChainIntoBad = 311,
    kStrFindChainOutOfRange = 312,
    kStrFindLoop = 313,
    kStrFindSizeLonger = 314,
    kStrFindChainLonger = 315,
    kStrFindDotEntries = 316,
    kStrFindInvalidFolder = 317,
    kStrFindBadName = 318,
    kStrFindBadAttributes = 319,
    kStrFindStrayLongName = 320,
    kStrFindBadSectorNotInFat = 321,
    kStrFindBadClusterNotListed = 322,
    kStrPlaceCluster = 323,
    kStrPlaceFatCopy = 324,
    kMsgWhatBootSector = 325,
    kMsgWhatFatCopies = 326,
    kMsgWhatLostChain = 327,
    kMsgWhatCrossLink = 328,
    kMsgWhatSharedFolder = 329,
    kMsgWhatChainBreak = 330,
    kMsgWhatSize = 331,
    kMsgWhatDotEntries = 332,
    kMsgWhatInvalidFolder = 333,
    kMsgWhatBadName = 334,
    kMsgWhatBadAttributes = 335,
    kMsgWhatStrayLongName = 336,
    kMsgWhatBadSectorNotInFat = 337,
    kMsgWhatBadClusterNotListed = 338,
    kMsgMendNothing = 339,
    kMsgMendFatCopy = 340,
    kMsgMendKeptAs = 341,
    kMsgMendFreed = 342,
    kMsgMendOwnCopy = 343,
    kMsgMendCut = 344,
    kMsgMendSizeShrinks = 345,
    kMsgMendChainCut = 346,
    kMsgMendDotsRewritten = 347,
    kMsgMendEntryRemoved = 348,
    kMsgMendRenamed = 349,
    kMsgMendAttributes = 350,
    kMsgMendLongNameRemoved = 351,
    kMsgMendMarkBad = 352,
    kMsgMendListSectors = 353,
    kMsgUndeleteTaken = 354,
    kMsgUndeleteNameTaken = 355,
    kMsgUndeleteBadFirst = 356,
    kMsgCheckSound = 357,
    kMsgCheckFindings = 358,
    kMsgCheckMended = 359,
    // Partitioned images: the partition to open, and tables that make no sense.
    kMsgChoosePartition = 400,
    kMsgNoSuchPartition = 401,
    kStrPartitionLine = 402,
    kMsgPartitionOutside = 403,
    kMsgPartitionPastEnd = 404,
    kMsgPartitionOverlap = 405,
    kMsgPartitionOutsideExtended = 406,
    kMsgPartitionChainLoop = 407,
    kMsgPartitionChainOutside = 408,
    kMsgPartitionChainTooLong = 409,
    // FAT16 and FAT32 volumes, new partitioned images.
    kMsgFat32ReadOnly = 430,
    kMsgPartitionTooSmall = 431,
    kMsgPartitionTooLarge = 432,
    kMsgMsxIdeLimits = 433,
    kMsgPartitionsTooMany = 434,
    // The Check disk and Undelete dialogs: column headers, an entry's state
    // and the Undelete dialog's summary.
    kStrCheckColKind = 360,
    kStrCheckColPlace = 361,
    kStrCheckColMend = 362,
    kStrUndeleteColName = 363,
    kStrUndeleteColSize = 364,
    kStrUndeleteColState = 365,
    kStrUndeleteRecoverable = 366,
    kStrUndeleteNotRecoverable = 367,
    kStrUndeleteFolder = 368,
    kStrUndeleteSummary = 369,
    // The Choose partition dialog and the title of a partition.
    kStrPartitionPrompt = 460,
    kStrPartitionColNumber = 461,
    kStrPartitionColSize = 462,
    kStrPartitionColFileSystem = 463,
    kStrPartitionColLabel = 464,
    kStrPartitionReadOnly = 465,
    kStrPartitionNoVolume = 466,
    kStrTitlePartition = 467,
    kStrSizeKilobytes = 468,
    kStrSizeMegabytes = 469,
    kStrSizeGigabytes = 470,
    // DMK track images: read as plain images, never written.
    kMsgTrackImageReadOnly = 510,
    kMsgTrackImageChangeRefused = 511,
    kMsgTrackImageNoSectors = 512,
    kMsgTrackImageBadSectors = 513,
    kMsgTrackImageTruncated = 514,
    kMsgNoMemoryForTrackImage = 515,
    // Disk-images inside gzip and zip archives.
    kMsgContainerTruncated = 480,
    kMsgContainerCorrupt = 481,
    kMsgContainerTooLarge = 482,
    kMsgContainerUnsupported = 483,
    kMsgContainerEmpty = 484,
    kMsgNoSuchMember = 485,
    kMsgChooseMember = 486,
    kMsgContainerNoMemory = 487,
    kStrMemberPrompt = 488,
    kStrOpenImageFilter = 489,  // the open dialog's: plain disk-images, those packed in gzip and zip files, DMK track images
    // Host folders that extraction cannot write into.
    kMsgFolderRefusesFiles = 280,
    kMsgFolderMissing = 281,
    // MSX-BASIC programs as text.
    kMsgBasicNotAProgram = 550,
    kMsgBasicTruncated = 551,
    kMsgBasicBrokenLink = 552,
    kMsgBasicUnknownToken = 553,
    kMsgBasicBadLineNumber = 554,
    kMsgBasicUnstorable = 555,
    kMsgBasicTooLong = 556,
    kMsgBasicOverflow = 557,
    kStrViewCaption = 558,   // the View dialog's caption: the file's name
    kStrViewBasic = 559,     // the View dialog's note under a listing
    kStrViewText = 560,      // ... under text
    kStrViewHexDump = 561,   // ... under a hex dump: the file's size
    kStrViewNotFound = 562,  // Find next found nothing: what was looked for
    kMsgAddCancelled = 563,  // an add of several files cancelled: files added, files chosen
    kMsgAddOpenImage = 564,  // the file to add is the open image or its error file
    kStrFolderSizeDetails = 565,  // a folder's size: what its files hold, as the file page counts it
    kStrFolderLabel = 566,        // the properties page's name label for a folder
    kStrTitleMember = 600,  // the title of an image opened from a zip: the zip and its member
};

}  // namespace vk
