// The numbers of Kestrel's Windows resources and controls, as plain macros so that the
// resource compiler can read them. They are the ids of app/ControlIds.h, which the dialogs'
// logic uses; ResourceIdsCheck.cpp makes the build fail when the two disagree.
#pragma once

#define KESTREL_IDD_ABOUTBOX 100
#define KESTREL_IDS_ABOUTBOX 101
#define KESTREL_IDD_REFERENCING 102
#define KESTREL_IDR_MAINFRAME 128
#define KESTREL_IDB_PICTURE 131

#define KESTREL_IDC_FILE_NAME 1000
#define KESTREL_IDC_BROWSE 1001
#define KESTREL_IDC_X_PIXEL_SCALE 1002
#define KESTREL_IDC_Y_PIXEL_SCALE 1003
#define KESTREL_IDC_TIE_PIXEL_X 1004
#define KESTREL_IDC_TIE_PIXEL_Y 1005
#define KESTREL_IDC_TIE_WORLD_X 1006
#define KESTREL_IDC_TIE_WORLD_Y 1007
#define KESTREL_IDC_X_VECTOR_X 1008
#define KESTREL_IDC_X_VECTOR_Y 1009
#define KESTREL_IDC_Y_VECTOR_X 1010
#define KESTREL_IDC_Y_VECTOR_Y 1011
#define KESTREL_IDC_REF_POINT_X 1012
#define KESTREL_IDC_REF_POINT_Y 1013
#define KESTREL_IDC_TIFF_TO_WORLD 1018
#define KESTREL_IDC_WORLD_TO_TIFF 1019
#define KESTREL_IDC_UPDATE_TIFF 1020
#define KESTREL_IDC_UPDATE_WORLD 1021
#define KESTREL_IDC_TIFF_STATUS 1023
#define KESTREL_IDC_WORLD_STATUS 1024
#define KESTREL_IDC_DISCLAIMER 1024
#define KESTREL_IDC_STATIC -1
