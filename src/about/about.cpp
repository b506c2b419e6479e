#include "about/about.h"

namespace fw {

void he_Click() {}

void version_Click() {}

}  // namespace fw
