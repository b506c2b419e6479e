#include "output/print.h"

namespace fw {

void Command11_Click() {}

}  // namespace fw
