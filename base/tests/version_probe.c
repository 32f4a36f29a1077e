/* A do-nothing program whose only purpose is to carry (or lack) a version resource. */
#include <windows.h>
int WINAPI WinMain(HINSTANCE i, HINSTANCE p, LPSTR c, int s) { (void)i; (void)p; (void)c; (void)s; return 0; }
