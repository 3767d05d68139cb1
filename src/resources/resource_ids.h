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

#define IDI_PROGRAM "DELICON"
#define IDI_DIALOG  "VOKICON"
