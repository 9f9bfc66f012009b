// Exports of VNUtil.dll, the key function library. Every function is __stdcall with an
// undecorated name (VNUtil.def); only integers, ANSI texts and window handles cross the boundary.
#pragma once
#include <windows.h>

#define VNAPI __stdcall

#ifdef __cplusplus
extern "C" {
#endif

// ---- Settings store -------------------------------------------------------------------------
void VNAPI Reg_InitProfile(const char* root, const char* userName);

int VNAPI Reg_GetProfileString(const char* section, const char* name, char* buffer, int bufferSize,
                               const char* defaultText);
int VNAPI Reg_GetProfileNumber(const char* section, const char* name, int* result, int defaultValue);
int VNAPI Reg_GetProfileBool(const char* section, const char* name, int* result, int defaultValue);
int VNAPI Reg_GetProfileBinary(const char* section, const char* name, void* buffer, int* byteCount,
                               const void* defaultBytes, int defaultCount);

int VNAPI Reg_SetProfileString(const char* section, const char* name, const char* text);
int VNAPI Reg_SetProfileNumber(const char* section, const char* name, int value);
int VNAPI Reg_SetProfileBool(const char* section, const char* name, int value);
int VNAPI Reg_SetProfileBinary(const char* section, const char* name, const void* bytes, int byteCount);

int VNAPI Reg_DelProfileKey(const char* section, const char* subkey);

int VNAPI Reg_GetValueString(HKEY hive, const char* keyPath, const char* name, char* buffer, int bufferSize);
int VNAPI Reg_GetValueNumber(HKEY hive, const char* keyPath, const char* name, int* result);
int VNAPI Reg_GetValueBool(HKEY hive, const char* keyPath, const char* name, int* result);
int VNAPI Reg_GetValueBinary(HKEY hive, const char* keyPath, const char* name, void* buffer, int* byteCount);
int VNAPI Reg_SetValueString(HKEY hive, const char* keyPath, const char* name, const char* text);
int VNAPI Reg_SetValueNumber(HKEY hive, const char* keyPath, const char* name, int value);
int VNAPI Reg_SetValueBool(HKEY hive, const char* keyPath, const char* name, int value);
int VNAPI Reg_SetValueBinary(HKEY hive, const char* keyPath, const char* name, const void* bytes, int byteCount);

int VNAPI StringToInteger(const char* text);
// Field buffers hold at most 259 characters and the terminating zero.
char* VNAPI Str_GetFirstField(const char* text, char* field, char separator, int* startOffset);
int VNAPI Str_GetField(const char* text, int fieldNumber, char* field, char separator);

// ---- System utilities and uninstall records ------------------------------------------------
int VNAPI IsWin95(void);
int VNAPI IsWin98(void);
int VNAPI IsWinME(void);
int VNAPI IsNT(void);
int VNAPI IsWin2000(void);
int VNAPI IsWinXP(void);
int VNAPI IsWin2003(void);
int VNAPI FileExisted(const char* path);  // wildcards allowed
int VNAPI GetFileVersionFromNumber(const char* path, DWORD* high, DWORD* low);
int VNAPI GetFileVersionFromString(const char* path, DWORD* high, DWORD* low);
int VNAPI SetThreadResourceLocale(void);
void VNAPI ShowErrorMessage(const char* caption);
void VNAPI CreateUninstallDeleteFileRegistry(const char* file, const char* firstKey, const char* secondKey);
void VNAPI CreateUninstallDeleteDirRegistry(const char* valueName, const char* folder, const char* firstKey,
                                            const char* secondKey);

// ---- Window utilities ----------------------------------------------------------------------
// Buffer sizes count characters with the terminating zero; a buffer is filled only when all fits.
int VNAPI CloseCurrentWindow(void);
int VNAPI SwitchNextWindow(void);
LRESULT VNAPI ActivateScreenSaver(void);
HWND VNAPI GetForegroundTopWindow(void);
int VNAPI ActivateWindow(HWND window);
int VNAPI ActivateWindowByProcessId(DWORD processId, int toggle);
HWND VNAPI FindWindowByPath(const char* programPath);
int VNAPI GetWndFileName(HWND window, char* buffer, int bufferSize);
int VNAPI GetFileDescription(const char* path, char* buffer, int bufferSize);

// ---- Program launching and shell functions -------------------------------------------------
// Buffers without a size argument hold 260 characters.
int VNAPI LaunchProgram(const char* command, const char* parameters, const char* folder, DWORD* processId);
int VNAPI ParseShellCommand(const char* commandLine, char* program, char* arguments);
int VNAPI FindProgram(const char* folder, const char* name, char* result);
int VNAPI FindProgramPath(const char* name, const char* folder, char* result);
int VNAPI GetStartMenuPath(char* path);
int VNAPI GetProgramMenuPath(char* path);
// Shortcut functions return the platform status of their last step (negative on failure).
int VNAPI GetLinkInfo(HWND owner, const char* linkPath, char* target, char* description);
int VNAPI GetLinkInfoEx(HWND owner, const char* linkPath, char* target, char* arguments, char* description);
int VNAPI CreateShortcut(const char* target, const char* arguments, int iconIndex, const char* linkPath);
int VNAPI EnumMailClient(int index, char* name, int bufferSize);
int VNAPI GetDefaultMailClient(char* buffer, int bufferSize);
int VNAPI GetDefaultMailClientDllPath(char* buffer, int bufferSize);
int VNAPI LaunchMailClient(const char* name);
int VNAPI LaunchDefaultMailProgram(void);
int VNAPI GetWebHomePage(char* buffer, int bufferSize);
int VNAPI OpenWWWHomePage(void);
int VNAPI LaunchCalculator(void);
int VNAPI LaunchSystemHelp(void);
int VNAPI LaunchSystemInfo(void);
int VNAPI LaunchMyDocuments(void);
int VNAPI LaunchWord(void);
int VNAPI LaunchExcel(void);
int VNAPI LockComputer(void);

// ---- Volume mixer ----------------------------------------------------------------------------
// Results are mixer status codes (0 = success) unless noted; with no mixer they are 0.
void VNAPI Mixer_Init(HWND notifyWindow);
int VNAPI Mixer_VolumeUp(DWORD step);    // step 0 means 2730
int VNAPI Mixer_VolumeDown(DWORD step);  // step 0 means 2730
int VNAPI Mixer_GetVolume(DWORD* volume);
int VNAPI Mixer_GetMuteState(void);  // 1 muted, else 0
int VNAPI Mixer_SetMuteState(int muted);  // always 0
int VNAPI Mixer_ToggleMute(void);
int VNAPI Mixer_StartVolumeIncrease(void);  // the ramp functions always return 1
int VNAPI Mixer_StopVolumeIncrease(void);
int VNAPI Mixer_StartVolumeDecrease(void);
int VNAPI Mixer_StopVolumeDecrease(void);

// ---- Media keys, CD audio, drive play state, video players and the function catalogue ------
// CD audio through MCI. The drive is a root text such as D:\ (null: the default CD audio device
// for the open call). Results are MCI error numbers (0 = success) unless noted.
int VNAPI AudioCD_OpenCDAudio(const char* drive);  // 1 opened, 0 not
int VNAPI AudioCD_CloseCDAudio(void);
int VNAPI AudioCD_Play(const char* drive);
int VNAPI AudioCD_Pause(const char* drive);
int VNAPI AudioCD_PlayPause(const char* drive);
int VNAPI AudioCD_Stop(const char* drive);
int VNAPI AudioCD_NextTrack(const char* drive);
int VNAPI AudioCD_PrevTrack(const char* drive);
int VNAPI AudioCD_IsPlaying(const char* drive);       // 1 playing, 0 not, -1 no device
int VNAPI AudioCD_FindAudioByMCI(const char* drive);  // 0 when the disc has an audio track

// Drive play state asked of the drive itself through ASPI.
int VNAPI InitAspi(void);
int VNAPI DestroyAspi(void);
int VNAPI OnIsCdromPlaying(int discKind);

// Media keys: 1 when handled or when the user was told why not.
int VNAPI CD_Play(void);
int VNAPI CD_Pause(void);
int VNAPI CD_PlayPause(void);
int VNAPI CD_Stop(void);
int VNAPI CD_NextTrack(void);
int VNAPI CD_PrevTrack(void);
int VNAPI CD_IsPlaying(void);
int VNAPI CD_CheckPlayPauseStatus(void);  // 1, 0, or -1 for discs without a play state
int VNAPI LaunchCDPlayer(void);
int VNAPI OpenAutoRunCD(const char* driveRoot);
int VNAPI LaunchVideoPlayer(void);
int VNAPI ActivePlayer(void);

// The function catalogue. Buffer sizes count characters with the terminating zero.
int VNAPI EnumPredefinedFunction(int index, char* buffer, int bufferSize);
int VNAPI GetFuncDescNameFromFuncName(const char* name, char* buffer, int bufferSize);
int VNAPI GetFuncNameFromFuncDescName(const char* description, char* buffer, int bufferSize);
int VNAPI GetHIDFuncName(DWORD usage, char* buffer, int bufferSize);
int VNAPI GetHIDFuncDesc(DWORD usage, char* buffer, int bufferSize);
DWORD VNAPI GetHIDUsageCode(const char* name);
int VNAPI CallPredefinedButtonFunction(const char* name, int eventKind);
int VNAPI CallHIDButtonFunction(DWORD usage, int eventKind, int* actionResult);
LRESULT VNAPI SendAppCommand(HWND window, int command);

#ifdef __cplusplus
}
#endif
