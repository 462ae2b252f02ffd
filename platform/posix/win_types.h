// Win32 base types and values, as the Windows headers spell them.
#pragma once

#include <stddef.h>
#include <stdint.h>

typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef int32_t BOOL;
typedef char CHAR;
typedef size_t SIZE_T;
typedef void* HANDLE;
typedef void* LPVOID;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef BYTE* LPBYTE;
typedef DWORD* LPDWORD;

#define TRUE 1
#define FALSE 0
#define MAX_PATH 260
#define WINAPI

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_MORE_DATA 234L
