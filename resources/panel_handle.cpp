#include "resources/panel_handle.h"

namespace kervano {

int panelHandle = -1;

}  // namespace kervano
