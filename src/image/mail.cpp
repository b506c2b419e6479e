#include "image/mail.h"

namespace fw {

void Command10_Click() {}

}  // namespace fw
