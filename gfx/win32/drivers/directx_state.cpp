// The DirectX driver's shared state and its test seam.
#include "gfx/win32/drivers/directx_state.h"

DxState dx_state{};
DxTestHooks dx_test_hooks{};

bool dx_may_take_step(DxOpenStep step) {
  if (step == kStepLoadDirectDraw && dx_test_hooks.failing_opens > 0) {
    --dx_test_hooks.failing_opens;
    return false;
  }
  return dx_test_hooks.open_step_limit < 0 || step < dx_test_hooks.open_step_limit;
}
