// Resource and control ids of the installer. Included by the resource script as well as by C++.
#ifndef VELTMOOR_RESOURCE_IDS_H
#define VELTMOOR_RESOURCE_IDS_H

// Resources
#define IDR_ICON             100
#define IDR_BANNER_BITMAP    4000
#define IDR_LICENCE          4001
#define IDR_PAYLOAD          5001
#define IDD_WIZARD           6001
#define IDD_CHOOSER          6002
#define IDD_NEW_FOLDER       6003
#define IDR_FOLDER_BITMAP    6030
#define IDR_FOLDER_SEL_BITMAP 6031
#define IDD_PAGE_WELCOME     7000
#define IDD_PAGE_NOTICE      7004
#define IDD_PAGE_ADVISORY    7005
#define IDD_PAGE_FOLDER      7007
#define IDD_PAGE_LICENCE     7008
#define IDD_PAGE_OPTIONS     7011
#define IDD_PAGE_SUMMARY     7012
#define IDD_PAGE_PROGRESS    7013
#define IDD_PAGE_UNPACKED    7014
#define IDD_PAGE_UPDATER     7017
#define IDD_PAGE_SUBSCRIBE   7018
#define IDD_PAGE_FINISHED    7019

// Frame controls of the wizard (below 100: never touched by page switching)
#define IDC_BUTTONBAR        20
#define IDC_NEXT             21
#define IDC_PREVIOUS         22
#define IDC_QUIT             23
#define IDC_BANNER           24

// Page controls (100 and above)
#define IDC_WELCOME_TEXT     100
#define IDC_FOLDER_LABEL     101
#define IDC_INSTALL_FOLDER   102
#define IDC_BROWSE           103
#define IDC_FOLDER_TEXT      104
#define IDC_LICENCE_TITLE    105
#define IDC_LICENCE_TEXT     106
#define IDC_LICENCE_AGREE    107
#define IDC_OPT_WHATSNEW     120
#define IDC_OPT_STARTMENU    121
#define IDC_OPT_DESKTOP      122
#define IDC_OPT_SCREENSAVER  123
#define IDC_OPTIONS_TEXT     124
#define IDC_NOTICE_TEXT      125
#define IDC_ADVISORY_TEXT    126
#define IDC_SUMMARY_TEXT     128
#define IDC_SUMMARY_FOLDER   129
#define IDC_SUMMARY_PROMPT   131
#define IDC_PROGRESS_TEXT    132
#define IDC_PROGRESS_LIST    133
#define IDC_UNPACKED_TEXT    134
#define IDC_FINISHED_TEXT    135
#define IDC_UPDATER_TEXT     138
#define IDC_UPDATER_BUTTON   139
#define IDC_SUBSCRIBE_TEXT   140
#define IDC_SUBSCRIBE_BUTTON 141
#define IDC_DONT_ASK         142

// Folder chooser (6002) and new-folder dialog (6003)
#define IDC_CHOOSER_TREE     11
#define IDC_CHOOSER_NEW      18
#define IDC_NEWFOLDER_PARENT 101
#define IDC_NEWFOLDER_NAME   102

#endif
