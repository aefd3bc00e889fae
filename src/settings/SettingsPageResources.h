#pragma once
// Resource identifiers of the settings page's dialog. Included by the
// page's .rc file and the module's, so only preprocessor definitions belong
// here. The page's title is string IDS_SETTINGS_TITLE of the module's string
// table.

#define IDD_SETTINGS_PAGE 107
#define IDS_SETTINGS_TITLE 112  // "QuorvaneRSS Settings"

#define IDC_REFRESH_MINUTES 201
#define IDC_ADD_FEED 203
#define IDC_SPEED 205
#define IDC_REMOVE_FEED 206
#define IDC_WAIT_SECONDS 207
#define IDC_NEW_FEED_URL 209
#define IDC_FEED_LIST 211
