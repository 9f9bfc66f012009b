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

#ifdef __cplusplus
}
#endif
