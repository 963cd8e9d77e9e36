/*
 * Identifiers of every resource in PIXRES.DLL.
 *
 * The program and the library share nothing but these numbers: the program
 * loads each string, dialog template, bitmap and icon by number from the
 * module it got from LoadLibraryA("PIXRES.DLL"). Changing a value here breaks
 * that agreement, so values are fixed forever; only names may be improved.
 *
 * Plain #defines only: windres reads this file too.
 *
 * Control identifiers repeat across dialogs with different meanings (1002 is
 * the Browse button in the main dialog and the file type list in the
 * preferences), so every control constant carries its dialog's name.
 */
#ifndef PIXALON_RESOURCES_RESOURCE_H
#define PIXALON_RESOURCES_RESOURCE_H

/* ---------------------------------------------------------------- strings */

#define IDS_ABOUT                       101 /* system menu item of the main dialog */
#define IDS_FILETYPE_BMP                102
#define IDS_FILETYPE_TIFF               103
#define IDS_FILETYPE_JPEG               104
#define IDS_FILETYPE_FLASHPIX           105
#define IDS_FILETYPE_NATIVE             110
#define IDS_PROGRESS_TRANSFERRING       111 /* "%s %d %s %d" with 112 */
#define IDS_PROGRESS_OF                 112
#define IDS_PAUSE                       113
#define IDS_CONTINUE                    114
#define IDS_FINISH_DONE                 115
#define IDS_FINISH_ERRORS               116 /* joined with 117 */
#define IDS_FINISH_PICTURES             117
#define IDS_SELECT_DIRECTORY            118
#define IDS_CANNOT_CREATE_FOLDER        119
#define IDS_CAMERA_AVENA                121
#define IDS_CAMERA_BELVA                122
#define IDS_CAMERA_CIRRA                123
#define IDS_LOCATION_MEMORY             124
#define IDS_LOCATION_CARD               125
#define IDS_PICT                        126
#define IDS_INVALID_PATH                127 /* follows a path */
#define IDS_BLANK                       128 /* a single blank: empties the status line */
#define IDS_TIP_HELP                    129
#define IDS_TIP_PREFERENCES             130
#define IDS_TIP_EXIT                    131
#define IDS_TIP_TRANSFER                132
#define IDS_TIP_GET_ALL                 133
#define IDS_TIP_GET_SELECTED            134
#define IDS_TIP_GET_FROM_DISK           135 /* followed directly by the desktop name */
#define IDS_TIP_BROWSE                  136
#define IDS_TIP_DESTINATION             137
#define IDS_TIP_TEMPLATE                138
#define IDS_TIP_USE_EXISTING            139
#define IDS_TIP_USE_TEMPLATE            140
#define IDS_TIP_CAMERA_TYPE             141
#define IDS_TIP_FILE_FORMAT             142
#define IDS_APP_TITLE                   143
#define IDS_TIP_DELETE                  144
#define IDS_CAMERA_CHANGED              145
#define IDS_NO_PICTURE_FOUND            146
#define IDS_TIP_CAMERA_LIST             148
#define IDS_TIP_PORT                    149
#define IDS_TIP_SPEED                   150
#define IDS_TIP_FILE_TYPE               151
#define IDS_TIP_GOOD                    152
#define IDS_TIP_BETTER                  153
#define IDS_TIP_BEST                    154
#define IDS_TIP_NO_COMPRESSION          155
#define IDS_TIP_SHOW_PROGRESS           156
#define IDS_TIP_ALWAYS_ON_TOP           157
#define IDS_TIP_POPUP                   158
#define IDS_TIP_ANIMATED_ICON           159
#define IDS_TIP_NOTIFY                  160
#define IDS_TIP_ALERT_SOUND             161
#define IDS_TIP_DEFAULTS                162
#define IDS_TIP_ACCEPT                  163
#define IDS_TIP_CANCEL                  164
#define IDS_PLEASE_WAIT                 165
#define IDS_LOADING_THUMBNAIL           166
#define IDS_LOADING_PICTURE             167
#define IDS_PREPARING_TRANSFER          168
#define IDS_DELETING_PICTURES           169
#define IDS_SAVING_PICTURE              170
#define IDS_PROCESSING_PICTURE          171
#define IDS_OPENING_CAMERA              172
#define IDS_DIALOG_OPEN_ERROR           173
#define IDS_DIALOG_OPEN_ERROR_2         174 /* same text as 173 */
#define IDS_ERROR_TITLE                 175
#define IDS_PICTURES_SELECTED           176 /* "%d %s" ... 177 " %d " 178 */
#define IDS_OF_STORED_OPEN              177
#define IDS_OF_STORED_CLOSE             178
#define IDS_SPEED_2304                  179 /* speed list entries, in list order */
#define IDS_SPEED_1152                  180
#define IDS_SPEED_576                   181
#define IDS_SPEED_384                   182
#define IDS_SPEED_192                   183
#define IDS_SPEED_96                    184
#define IDS_NO_DESTINATION              185
#define IDS_CAMERA_ERROR                186
#define IDS_FILE_ACCESS_ERROR           187
/* Camera driver status texts */
#define IDS_DRV_BAD_PARAMETER           188
#define IDS_DRV_CLOSE_FAILED            189
#define IDS_DRV_NOT_CONNECTED           190
#define IDS_DRV_CAMERA_NOT_EMPTY        191
#define IDS_DRV_NOT_SUPPORTED_BY_CAMERA 192
#define IDS_DRV_UNKNOWN_CAMERA_TYPE     193
#define IDS_DRV_NO_CARD                 194
#define IDS_CAMERA_NOT_FOUND            195
#define IDS_DRV_NOT_SUPPORTED_BY_SYSTEM 196
#define IDS_DRV_IMAGE_PROCESSING        197
#define IDS_DRV_FIRMWARE_INCOMPATIBLE   198
#define IDS_DRV_NO_MEMORY               199
#define IDS_DRV_IMAGE_MEMORY_FULL       200
#define IDS_DRV_NOT_OPEN                201
#define IDS_DRV_NOT_ROM_MODE            202
#define IDS_DRV_ALREADY_OPEN            203
#define IDS_DRV_IN_ROM_MODE             204
#define IDS_DRV_ALREADY_ROM_MODE        205
#define IDS_DRV_COMPATIBILITY           206
#define IDS_DRV_CANNOT_LOAD_FUNCTION    207
#define IDS_DRV_OS_ERROR                208
#define IDS_DRV_UNKNOWN                 209
#define IDS_START_OVER                  210
#define IDS_REPLACE                     211
#define IDS_MEMORY_ERROR                212
#define IDS_SYSTEM_ERROR                213
#define IDS_ERROR_ENCOUNTERED           214 /* 214 <error> 215 <picture> 216 */
#define IDS_ERROR_WHILE_PROCESSING      215
#define IDS_ERROR_WHAT_TO_DO            216
#define IDS_NO_SPACE                    217
#define IDS_DUPLICATE_NAMES             218
#define IDS_SOURCE_IN_DESTINATION       219
#define IDS_MY_COMPUTER                 220
#define IDS_PICT_PREFIX                 221
#define IDS_OPENING_CAMERA_WAIT         222
#define IDS_TRYING_TO_ACCESS            223 /* joined with 226 */
#define IDS_DUPLICATES_QUESTION         224
#define IDS_CONTINUE_ANYWAY             226
#define IDS_CONFIRM_DELETE              227
#define IDS_DELETE_INCOMPATIBLE         228
#define IDS_MISSING_PIXRES              229
#define IDS_ALREADY_RUNNING             230
#define IDS_PATH_TOO_LONG               231 /* %1 length, %2 limit */
#define IDS_TEMPLATE_BAD_CHAR           233 /* %1 the character */
#define IDS_TRANSFER_ERROR              234
#define IDS_DEST_NOT_ACCESSIBLE         235
#define IDS_DEST_READ_ONLY              236
#define IDS_DEST_WRITE_PROTECTED        237
#define IDS_FOLDER_NO_IMAGES            238
#define IDS_DELETE_FAILED               239
#define IDS_SOURCE_EMPTY                240
#define IDS_SOURCE_CORRUPTED            241
#define IDS_COMPANY_NAME                242
#define IDS_SFR_AXIS                    243
#define IDS_SFR_TITLE                   244
#define IDS_UNDEFINED_COPYRIGHT         245
#define IDS_CANNOT_CREATE_DEST          246
#define IDS_NO_PICTURES_IN_CAMERA       247
#define IDS_DEVICE_NOT_WRITABLE         248
#define IDS_NETWORK_NEIGHBORHOOD        249
#define IDS_OUTPUT_FILE_ERROR           250 /* between the quotes of 214 */
#define IDS_NOT_AVAILABLE_YET           251 /* source and Browse buttons whose dialogs are not built yet */

/* --------------------------------------------------------- dialog templates */

#define IDD_MAIN                        102
#define IDD_PROGRESS                    129
#define IDD_FINISH                      131
#define IDD_ERROR                       132
#define IDD_CONNECTING                  133
#define IDD_BROWSE_FOLDER               140
#define IDD_WELCOME                     141
#define IDD_CAMERA_SELECT               143
#define IDD_FOLDER_SELECT               144
#define IDD_NEW_FOLDER                  145
#define IDD_CAMERA_NOT_FOUND            197
#define IDD_PREFERENCES                 301

/* Command of every Help button; the application routes it to its help. */
#define PIX_ID_HELP                     57670

/* Main dialog (102) */
#define IDC_MAIN_TRANSFER               1       /* IDOK, owner-drawn */
#define IDC_MAIN_EXIT                   2       /* IDCANCEL, owner-drawn */
#define IDC_MAIN_BROWSE                 1002
#define IDC_MAIN_TEMPLATE               1023
#define IDC_MAIN_PREFERENCES            1024    /* owner-drawn */
#define IDC_MAIN_USE_TEMPLATE           1071
#define IDC_MAIN_USE_EXISTING           1072
#define IDC_MAIN_GET_ALL                1073    /* owner-drawn */
#define IDC_MAIN_GET_SELECTED           1074    /* owner-drawn */
#define IDC_MAIN_GET_FROM_DISK          1075    /* owner-drawn */
#define IDC_MAIN_CAMERA_TYPE            1076
#define IDC_MAIN_SOURCE_FOLDER          1091
#define IDC_MAIN_DISK_COUNT             1092
#define IDC_MAIN_SELECTED_COUNT         1093
#define IDC_MAIN_ALL_COUNT              1095
#define IDC_MAIN_DEST_NAME              1103
#define IDC_MAIN_TRANSFER_LABEL         1110
#define IDC_MAIN_STATUS                 1122
#define IDC_MAIN_DEST_PATH              1124
#define IDC_MAIN_HELP                   PIX_ID_HELP /* owner-drawn */

/* Progress dialog (129) */
#define IDC_PROGRESS_STOP               1       /* IDOK */
#define IDC_PROGRESS_PAUSE              1025
#define IDC_PROGRESS_THUMBNAIL          1026
#define IDC_PROGRESS_STATUS             1028
#define IDC_PROGRESS_BAR                1105

/* Completion notice (131) */
#define IDC_FINISH_OK                   1
#define IDC_FINISH_TEXT                 1051

/* Error dialog (132) */
#define IDC_ERROR_CANCEL                2
#define IDC_ERROR_RETRY                 4       /* IDRETRY */
#define IDC_ERROR_SKIP                  1073
#define IDC_ERROR_TEXT                  1108
#define IDC_ERROR_ICON                  1125

/* Destination folder browser (140) */
#define IDC_BROWSE_OK                   1
#define IDC_BROWSE_CANCEL               2
#define IDC_BROWSE_NEW_FOLDER           1066
#define IDC_BROWSE_TREE                 1067

/* Welcome screen (141) */
#define IDC_WELCOME_OK                  1
#define IDC_WELCOME_SHOW_ON_STARTUP     1090
#define IDC_WELCOME_PICTURE             1119
#define IDC_WELCOME_CAPTION             1120

/* Picture selection, camera (143) and disk (144): same control set */
#define IDC_SELECT_OK                   1
#define IDC_SELECT_CANCEL               2
#define IDC_SELECT_TREE                 1000
#define IDC_SELECT_FILES                1002
#define IDC_SELECT_ADD                  1016
#define IDC_SELECT_REMOVE               1017
#define IDC_SELECT_REMOVE_ALL           1018
#define IDC_SELECT_TRANSFER_LIST        1021
#define IDC_SELECT_SHOW_THUMBNAIL       1022
#define IDC_SELECT_THUMBNAIL            1023
#define IDC_SELECT_HELP                 PIX_ID_HELP

/* New folder (145) */
#define IDC_NEWFOLDER_OK                1
#define IDC_NEWFOLDER_CANCEL            2
#define IDC_NEWFOLDER_NAME              1064
#define IDC_NEWFOLDER_CURRENT           1069

/* Camera not found (197) */
#define IDC_NOTFOUND_OK                 1
#define IDC_NOTFOUND_CANCEL             2       /* hidden and disabled */
#define IDC_NOTFOUND_HELP               PIX_ID_HELP

/* Preferences (301) */
#define IDC_PREFS_ACCEPT                1
#define IDC_PREFS_CANCEL                2
#define IDC_PREFS_FILETYPE              1002
#define IDC_PREFS_SHOW_PROGRESS         1003
#define IDC_PREFS_ALERT_SOUND           1007
#define IDC_PREFS_NOTIFY                1018
#define IDC_PREFS_DEFAULTS              1021
#define IDC_PREFS_ALWAYS_ON_TOP         1029
#define IDC_PREFS_PORT                  1030
#define IDC_PREFS_DELETE                1041
#define IDC_PREFS_CAMERA                1077
#define IDC_PREFS_SPEED                 1078
#define IDC_PREFS_BEST                  1079
#define IDC_PREFS_NO_COMPRESSION        1080
#define IDC_PREFS_ANIMATED_ICON         1081
#define IDC_PREFS_POPUP                 1083
#define IDC_PREFS_GOOD                  1099
#define IDC_PREFS_BETTER                1100
#define IDC_PREFS_QUALITY_LABEL         1102
#define IDC_PREFS_STATUS                1122
#define IDC_PREFS_HELP                  PIX_ID_HELP

/* ------------------------------------------------------------------ bitmaps */

/* Main dialog buttons: "pressed" is also the focused face (black frame). */
#define IDB_GET_ALL_PRESSED             134
#define IDB_GET_ALL_NORMAL              136
#define IDB_GET_SELECTED_PRESSED        154
#define IDB_GET_SELECTED_NORMAL         156
#define IDB_GET_FROM_DISK_PRESSED       163
#define IDB_GET_FROM_DISK_NORMAL        165
#define IDB_EXIT_PRESSED                137
#define IDB_EXIT_NORMAL                 140
#define IDB_TRANSFER_DISABLED           146
#define IDB_TRANSFER_NORMAL             147
#define IDB_TRANSFER_PRESSED            149
#define IDB_HELP_PRESSED                157
#define IDB_HELP_NORMAL                 159
#define IDB_PREFERENCES_PRESSED         160
#define IDB_PREFERENCES_NORMAL          162

/*
 * 16 by 16 images of the camera tree and picture lists. The image lists add
 * them in this order, so an image index names a kind of node everywhere:
 *   0 camera          141     1 camera, selected          144
 *   2 camera memory   138     3 camera memory, selected   143   (folder with a camera)
 *   4 card            153     5 card, selected            152   (folder with a memory card)
 *   6 album           139     7 album, selected           145   (closed / open book)
 *   8 picture         151     9 picture, selected         150
 * 172 is the computer ("My Computer"), the only one with 256 colours.
 */
#define IDB_SMALL_CAMERA                141
#define IDB_SMALL_CAMERA_SEL            144
#define IDB_SMALL_MEMORY                138
#define IDB_SMALL_MEMORY_SEL            143
#define IDB_SMALL_CARD                  153
#define IDB_SMALL_CARD_SEL              152
#define IDB_SMALL_ALBUM                 139
#define IDB_SMALL_ALBUM_SEL             145
#define IDB_SMALL_PICTURE               151
#define IDB_SMALL_PICTURE_SEL           150
#define IDB_SMALL_COMPUTER              172

/* Welcome screen pictures, 387 by 297, and the check box caption, 100 by 20. */
#define IDB_ABOUT_PICTURE               184
#define IDB_WELCOME_PICTURE             185
#define IDB_STARTUP_CAPTION             186

/* -------------------------------------------------------------------- icons */

#define IDI_APP                         128 /* a computer receiving pictures */
#define IDI_TARGET_1                    142 /* error dialog animation frames */
#define IDI_TARGET_2                    143
#define IDI_TARGET_3                    144
#define IDI_TARGET_4                    145
#define IDI_ERROR_SIGN                  146
#define IDI_WARNING_SIGN                192
#define IDI_QUESTION_SIGN               194
#define IDI_BLANK                       195 /* alternates with IDI_APP when done */

#endif
