#include "image/picture_commands.h"

#include "app/form1.h"

namespace fw {

void InitialisePictureArea() {}

void Command3_Click() {
  Form1().SetPicture(Picture());
}

void dfgd_Click() {
  Form1().SetPicture(Picture());
}

void Command7_Click() {}

void Command8_Click() {}

void Command9_Click() {}

void Command13_Click() {}

}  // namespace fw
