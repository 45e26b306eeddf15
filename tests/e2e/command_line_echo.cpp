// A Windows program that starts the way tavrel.scr starts (the same runtime start-up, entering
// at WinMain) and prints the argument string it was given, as "line" and the bytes in
// hexadecimal. The command-line tests use it to show which bytes a launch hands the saver.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
    std::printf("line ");
    for (const char* byte = arguments; byte != nullptr && *byte != '\0'; ++byte) {
        std::printf("%02x", static_cast<unsigned char>(*byte));
    }
    std::printf("\n");
    std::fflush(stdout);
    return 0;
}
