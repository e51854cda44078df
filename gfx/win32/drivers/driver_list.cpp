// The drivers to try, in order.
#include "gfx/drivers/video_driver.h"
#include "gfx/win32/drivers/driver_directx.h"
#include "gfx/win32/drivers/driver_gdi.h"
#include "gfx/win32/drivers/driver_opengl.h"

const VideoDriver* const driver_list[] = {&directx_driver, &gdi_driver, &opengl_driver, nullptr};
