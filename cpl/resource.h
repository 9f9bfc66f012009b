#pragma once

#define IDI_APPLET 102
#define IDS_APPLET_NAME 1
#define IDS_APPLET_INFO 2
