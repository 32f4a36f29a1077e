/* Stands for a running client: waits a minute, so a test can find and terminate it. */
#include <windows.h>
int WINAPI WinMain(HINSTANCE i, HINSTANCE p, LPSTR c, int s) { (void)i; (void)p; (void)c; (void)s; Sleep(60000); return 7; }
