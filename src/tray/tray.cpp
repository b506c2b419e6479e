#include "tray/tray.h"

namespace fw {

void Command6_Click() {}

}  // namespace fw
