// Resource ids of the client program. Shared by client.rc and the code that loads them.
#pragma once

#define IDI_MAINFRAME 128   // window and tray icon
#define IDD_MAINDLG 129     // main window dialog template
#define IDR_MENU_TRAY 202   // tray menu; its first pop-up is "menu_tray"

#define ID_MENU_TRAY_SETTING 32796
#define ID_MENU_TRAY_HELP 32797
#define ID_MENU_TRAY_ABOUT 32798
#define ID_MENU_TRAY_EXIT 32799
