/* The floor for a screen capture on this X server: XGetImage of the whole
 * root window, timed in a native program. Prints
 *   figure: xgetimage <median ms> <min ms>
 * Usage: xgetimage_floor [runs] */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static double now_ms(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

static int cmp(const void* a, const void* b) {
  double x = *(const double*)a, y = *(const double*)b;
  return x < y ? -1 : x > y;
}

int main(int argc, char** argv) {
  int runs = argc > 1 ? atoi(argv[1]) : 20;
  if (runs < 1) runs = 1;
  Display* d = XOpenDisplay(NULL);
  if (!d) {
    fprintf(stderr, "xgetimage_floor: no display\n");
    return 2;
  }
  Window root = DefaultRootWindow(d);
  XWindowAttributes wa;
  XGetWindowAttributes(d, root, &wa);
  double* ms = malloc(sizeof(double) * (size_t)runs);
  XDestroyImage(XGetImage(d, root, 0, 0, (unsigned)wa.width, (unsigned)wa.height, AllPlanes, ZPixmap));
  for (int i = 0; i < runs; ++i) {
    double t0 = now_ms();
    XImage* img = XGetImage(d, root, 0, 0, (unsigned)wa.width, (unsigned)wa.height, AllPlanes, ZPixmap);
    ms[i] = now_ms() - t0;
    if (img) XDestroyImage(img);
  }
  qsort(ms, (size_t)runs, sizeof(double), cmp);
  printf("figure: xgetimage %.2f %.2f\n", ms[runs / 2], ms[0]);
  free(ms);
  XCloseDisplay(d);
  return 0;
}
