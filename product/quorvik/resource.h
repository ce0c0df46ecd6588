// Resource and command ids of Quorvik.exe.
#pragma once

#define IDI_QUORVIK 1
#define IDR_MAINMENU 100
#define IDR_ACCELERATORS 101

#define IDM_NEW 1001
#define IDM_OPEN 1002
#define IDM_SAVE 1003
#define IDM_SAVEAS 1004
#define IDM_EXIT 1005
#define IDM_UNDO 1101
#define IDM_CUT 1102
#define IDM_COPY 1103
#define IDM_PASTE 1104
#define IDM_DELETE 1105
#define IDM_SELECTALL 1106
#define IDM_HELPTOPICS 1201
#define IDM_TIP 1202
#define IDM_ABOUT 1203
