#pragma once
// Resource numbers of the setup utility's dialog.
#define IDD_SETUP 100
#define IDC_NOTE 1001
#define IDC_ADAPTER 1002
#define IDC_DEVICE 1003
#define IDC_FORMAT 1004
#define IDC_BACKBUFFER 1005
#define IDC_RESOLUTION 1006
#define IDC_SAMPLES 1007
#define IDC_QUALITY 1008
#define IDC_FILTER 1009
#define IDC_DEPTH 1010
#define IDC_FULLSCREEN 1011
#define IDC_VSYNC 1012
#define IDC_PURE 1013
#define IDC_SHOWFPS 1014
#define IDC_SOUND 1015
#define IDC_MUSIC 1016
#define IDC_HWSOUND 1017
#define IDC_CHANNELS 1018
#define IDC_CHANNELS_SPIN 1019
