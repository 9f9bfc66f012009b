// Resource and command ids of the service.
#pragma once

#define IDR_MAINFRAME 128     // class name string, icon
#define IDS_TRAY_TIP 129
#define IDS_REGISTER_FAILED 130
#define IDR_TRAYMENU 131      // also the tray icon's id
#define IDS_APP_TITLE 57344   // caption of the service's message boxes

#define ID_CUSTOMIZE 32773
#define ID_HIDE_ICON 32774
#define ID_APP_EXIT 57665
