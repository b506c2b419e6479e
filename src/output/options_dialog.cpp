#include "output/options_dialog.h"

namespace fw {

void Options2_Click() {}

void UnloadForm4() {}

}  // namespace fw
