// Interim: no vector forms yet; the plain routines are used throughout.
#include "gfx/vector_routines.h"

const VectorRoutines& vector_routines() {
  static const VectorRoutines none{};
  return none;
}
