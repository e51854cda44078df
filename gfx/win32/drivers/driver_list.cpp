// The drivers to try, in order. Interim: none has landed yet.
#include "gfx/drivers/video_driver.h"

const VideoDriver* const driver_list[] = {nullptr};
