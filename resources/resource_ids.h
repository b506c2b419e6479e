// Resource identifiers shared by the resource script and the code.
#pragma once

#define IDI_FRAMEWICK 1
#define IDR_SAMPLE_PHOTO 101
#define IDR_CAMERA_PHOTO 102
