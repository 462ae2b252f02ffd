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
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_NO_MORE_FILES 18L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_MORE_DATA 234L

// The calling thread's last error, as the calls that document it set it.
DWORD GetLastError(void);
void SetLastError(DWORD error);
