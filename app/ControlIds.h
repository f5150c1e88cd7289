// Identifiers of the dialogs, controls, commands and resources of Kestrel.
#pragma once

namespace kestrel {

// Dialog templates, icon, bitmap and strings.
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_REFERENCING = 102;
constexpr int IDR_MAINFRAME = 128; // the application icon
constexpr int IDB_PICTURE = 131;   // the picture in the main dialog
constexpr int IDS_ABOUTBOX = 101;  // "&About Kestrel..."
constexpr int IDM_ABOUTBOX = 0x0010;

// Main dialog controls.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2; // "&Close"
constexpr int IDHELP = 9;
constexpr int IDC_FILE_NAME = 1000;
constexpr int IDC_BROWSE = 1001;
constexpr int IDC_X_PIXEL_SCALE = 1002;
constexpr int IDC_Y_PIXEL_SCALE = 1003;
constexpr int IDC_TIE_PIXEL_X = 1004;
constexpr int IDC_TIE_PIXEL_Y = 1005;
constexpr int IDC_TIE_WORLD_X = 1006;
constexpr int IDC_TIE_WORLD_Y = 1007;
constexpr int IDC_X_VECTOR_X = 1008;
constexpr int IDC_X_VECTOR_Y = 1009;
constexpr int IDC_Y_VECTOR_X = 1010;
constexpr int IDC_Y_VECTOR_Y = 1011;
constexpr int IDC_REF_POINT_X = 1012;
constexpr int IDC_REF_POINT_Y = 1013;
constexpr int IDC_TIFF_TO_WORLD = 1018; // "-->"
constexpr int IDC_WORLD_TO_TIFF = 1019; // "<--"
constexpr int IDC_UPDATE_TIFF = 1020;
constexpr int IDC_UPDATE_WORLD = 1021;
constexpr int IDC_TIFF_STATUS = 1023;
constexpr int IDC_WORLD_STATUS = 1024;

// About box: the disclaimer text field.
constexpr int IDC_DISCLAIMER = 1024;

} // namespace kestrel
