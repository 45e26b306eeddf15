/* A DLL that only tells that it was loaded: when a process loads it, it creates a file named
   after itself with ".loaded" added, beside itself. The planted-DLL test puts copies of it where
   a careless program would look for its DLLs. Mark is an entry point for rundll32, which shows
   that the marker works. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t path[MAX_PATH + 8];
        const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            lstrcpyW(path + length, L".loaded");
            HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, NULL);
            if (file != INVALID_HANDLE_VALUE)
                CloseHandle(file);
        }
    }
    return TRUE;
}

__declspec(dllexport) void CALLBACK Mark(HWND window, HINSTANCE instance, LPSTR line, int show)
{
    (void)window;
    (void)instance;
    (void)line;
    (void)show;
}
