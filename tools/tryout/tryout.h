// String ids of the run command's key list window.
#pragma once
#define IDS_TITLE 1
#define IDS_INTRO 2
#define IDS_KEYS 3
#define IDS_OUTRO 4
