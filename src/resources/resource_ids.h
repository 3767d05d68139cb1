#pragma once

// Numbers of the messages in the string table (language 2052).
#define IDS_PRODUCT_NAME           5101
#define IDS_HELP_LINK_NAME         5102
#define IDS_MANUAL_LINK_NAME       5103
#define IDS_UNINSTALL_CAPTION      5104
#define IDS_UNINSTALL_COMPLETED    5105
#define IDS_DELETE_MANUALLY        5106
#define IDS_CONFIRM_UNINSTALL      5107
#define IDS_CANNOT_OPEN_LIST       5108
#define IDS_ARCHIVE_TYPE           5109
#define IDS_ZIP_ARCHIVE_TYPE       5110
#define IDS_RECOVERY_VOLUME_TYPE   5111
#define IDS_HOMEPAGE               5112
#define IDS_SHORTCUT_COMMENT       5113
#define IDS_RESTART_NEEDED         5114
#define IDS_SETUP_INFO_1           5120
#define IDS_SETUP_INFO_2           5121
#define IDS_SETUP_INFO_3           5122
#define IDS_SETUP_INFO_4           5123
#define IDS_SETUP_INFO_5           5124
#define IDS_SETUP_INFO_HELP        5125
#define IDS_WOW64_NOTICE           5130
#define IDS_ADMIN_RIGHTS_NEEDED    5131

#define IDI_PROGRAM "DELICON"
#define IDI_DIALOG  "VOKICON"

// Dialog template names; they are also the catalog's translation contexts.
#define IDD_SETUP           "SETUPDLG"
#define IDD_CONTEXT_ITEMS   "SETUPCONTEXTITEMS"
#define IDD_DONE            "DONEDLG"

// SETUPDLG. The association groups' check boxes follow each other: group i
// has IDC_FIRST_GROUP + i.
#define IDC_FIRST_GROUP            5101
#define IDC_GROUP_VOK              5101
#define IDC_GROUP_ZIP              5102
#define IDC_GROUP_CAB              5103
#define IDC_GROUP_ARJ              5104
#define IDC_GROUP_LZH              5105
#define IDC_GROUP_ACE              5106
#define IDC_GROUP_7Z               5107
#define IDC_GROUP_TAR              5108
#define IDC_GROUP_GZ               5109
#define IDC_GROUP_UUE              5110
#define IDC_GROUP_BZ2              5111
#define IDC_GROUP_JAR              5112
#define IDC_GROUP_ISO              5113
#define IDC_GROUP_Z                5114
// Flags 20-25 of the settings, in this order.
#define IDC_DESKTOP_LINK           5115
#define IDC_START_MENU_LINK        5116
#define IDC_PROGRAM_GROUP          5117
#define IDC_SHELL_INTEGRATION      5118
#define IDC_CASCADED_MENU          5119
#define IDC_MENU_ICONS             5120
#define IDC_SELECT_ALL             5121
#define IDC_EXPLANATION            5122
#define IDC_CONTEXT_ITEMS          5123

// SETUPCONTEXTITEMS: one check box per context menu item.
#define IDC_ITEM_EXTRACT_FILES     101
#define IDC_ITEM_EXTRACT_HERE      102
#define IDC_ITEM_EXTRACT_TO_FOLDER 103
#define IDC_ITEM_EXTRACT_EACH      104
#define IDC_ITEM_OPEN_SFX          105
#define IDC_ITEM_ADD_TO            106
#define IDC_ITEM_ADD_TO_NAMED      107
#define IDC_ITEM_EMAIL_NAMED       108
#define IDC_ITEM_EMAIL             109
#define IDC_ITEM_TEST              110
#define IDC_ITEM_CONVERT           111
#define IDC_ITEM_SFX_LOCAL         112
#define IDC_ITEM_SFX_NETWORK       113
#define IDC_ITEM_SFX_OTHER         114

// DONEDLG.
#define IDC_DONE_FOLDER            5101
#define IDC_RUN_ARCHIVER           5102
#define IDC_READ_HELP              5103
#define IDC_VIEW_LICENSE           5104
#define IDC_ORDER                  5105
#define IDC_OPEN_HOMEPAGE          5106
#define IDC_THANKS                 5107
#define IDC_LICENSE_NOTE           5108
#define IDC_HOMEPAGE_NOTE          5109
