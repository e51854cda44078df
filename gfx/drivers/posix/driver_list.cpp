// Without a window system no driver can open; only the Null record exists.
#include "gfx/drivers/video_driver.h"

const VideoDriver* const driver_list[] = {nullptr};
