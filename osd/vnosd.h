// Exports of VNOSD.dll, the on-screen display. Every function is __stdcall with an undecorated
// name (VNOSD.def); only integers, ANSI texts and window handles cross the boundary.
#pragma once
#include <windows.h>

#define VNOSDAPI __stdcall

#ifdef __cplusplus
extern "C" {
#endif

// Registers the window class, creates the hidden display window and loads the settings; 1.
int VNOSDAPI OSD_Init(void);
// Deletes the brushes, closes the window and saves the settings; the save's result.
int VNOSDAPI OSD_Destroy(void);
// Reads section "OSD" of the settings store and applies the colour; the result of reading "Enabled".
int VNOSDAPI OSD_LoadSettings(void);
// Writes section "OSD" ("Enabled" is never written); the result of the last write.
int VNOSDAPI OSD_SaveSettings(void);
// The font dialog for font and colour; 0 when cancelled.
int VNOSDAPI OSD_SelectFont(HWND owner);
// Sets the display colour (0x00BBGGRR); 1 when the window's class brush was replaced, 0 without a window.
int VNOSDAPI OSD_SetColor(COLORREF color);
// Shows a text. rect (may be null) is moved in from the right and bottom edges for the screen, in
// place; format holds DrawText flags. 1 when shown.
int VNOSDAPI OSD_ShowString(const char* text, RECT* rect, UINT format);
// Shows the volume bar: level 0 to 65535, bars 0 means 32. 1 unless the window cannot be made.
int VNOSDAPI OSD_ShowVolume(int level, int bars);
// Shows the crossed speaker with the mute text (text 1 when flag is nonzero, else text 2).
int VNOSDAPI OSD_ShowMuteIcon(int flag);
// 1 keeps the display up; 0 lets it time out after "Duration". Returns 1.
int VNOSDAPI OSD_KeepShowing(int flag);

#ifdef __cplusplus
}
#endif
