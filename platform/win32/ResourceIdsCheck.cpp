// The resource script's numbers must be the ones the dialogs' logic addresses.
#include "ControlIds.h"
#include "ResourceIds.h"

namespace kestrel {

static_assert(KESTREL_IDD_ABOUTBOX == IDD_ABOUTBOX);
static_assert(KESTREL_IDS_ABOUTBOX == IDS_ABOUTBOX);
static_assert(KESTREL_IDD_REFERENCING == IDD_REFERENCING);
static_assert(KESTREL_IDR_MAINFRAME == IDR_MAINFRAME);
static_assert(KESTREL_IDB_PICTURE == IDB_PICTURE);
static_assert(KESTREL_IDC_FILE_NAME == IDC_FILE_NAME);
static_assert(KESTREL_IDC_BROWSE == IDC_BROWSE);
static_assert(KESTREL_IDC_X_PIXEL_SCALE == IDC_X_PIXEL_SCALE);
static_assert(KESTREL_IDC_Y_PIXEL_SCALE == IDC_Y_PIXEL_SCALE);
static_assert(KESTREL_IDC_TIE_PIXEL_X == IDC_TIE_PIXEL_X);
static_assert(KESTREL_IDC_TIE_PIXEL_Y == IDC_TIE_PIXEL_Y);
static_assert(KESTREL_IDC_TIE_WORLD_X == IDC_TIE_WORLD_X);
static_assert(KESTREL_IDC_TIE_WORLD_Y == IDC_TIE_WORLD_Y);
static_assert(KESTREL_IDC_X_VECTOR_X == IDC_X_VECTOR_X);
static_assert(KESTREL_IDC_X_VECTOR_Y == IDC_X_VECTOR_Y);
static_assert(KESTREL_IDC_Y_VECTOR_X == IDC_Y_VECTOR_X);
static_assert(KESTREL_IDC_Y_VECTOR_Y == IDC_Y_VECTOR_Y);
static_assert(KESTREL_IDC_REF_POINT_X == IDC_REF_POINT_X);
static_assert(KESTREL_IDC_REF_POINT_Y == IDC_REF_POINT_Y);
static_assert(KESTREL_IDC_TIFF_TO_WORLD == IDC_TIFF_TO_WORLD);
static_assert(KESTREL_IDC_WORLD_TO_TIFF == IDC_WORLD_TO_TIFF);
static_assert(KESTREL_IDC_UPDATE_TIFF == IDC_UPDATE_TIFF);
static_assert(KESTREL_IDC_UPDATE_WORLD == IDC_UPDATE_WORLD);
static_assert(KESTREL_IDC_TIFF_STATUS == IDC_TIFF_STATUS);
static_assert(KESTREL_IDC_WORLD_STATUS == IDC_WORLD_STATUS);
static_assert(KESTREL_IDC_DISCLAIMER == IDC_DISCLAIMER);

} // namespace kestrel
