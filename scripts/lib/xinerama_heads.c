/* A stand-in for libXinerama.so.1 that reports the monitors FW_MONITORS
 * names ("WxH+X+Y ...", in X root coordinates, the first the primary) on
 * a single Xvfb screen of their bounding size. Xvfb's own Xinerama puts
 * every screen at the root's origin, one over another, so Wine could not
 * lay out monitors side by side from it. Wine's X11 driver asks Xinerama
 * for the monitors (with XRandR off in its prefix) through dlopen, so
 * this library, first on LD_LIBRARY_PATH, answers for the run. */
#include <stdio.h>
#include <stdlib.h>

typedef struct _XDisplay Display;
typedef int Bool;
typedef int Status;
typedef struct {
  int screen_number;
  short x_org, y_org, width, height;
} XineramaScreenInfo;

static int heads(XineramaScreenInfo *out, int max) {
  const char *s = getenv("FW_MONITORS");
  int n = 0, w, h, x, y, used;
  while (s && n < max && sscanf(s, " %dx%d+%d+%d%n", &w, &h, &x, &y, &used) == 4) {
    out[n].screen_number = n;
    out[n].x_org = (short)x;
    out[n].y_org = (short)y;
    out[n].width = (short)w;
    out[n].height = (short)h;
    ++n;
    s += used;
  }
  return n;
}

Bool XineramaQueryExtension(Display *d, int *event_base, int *error_base) {
  (void)d;
  *event_base = 0;
  *error_base = 0;
  return 1;
}

Status XineramaQueryVersion(Display *d, int *major, int *minor) {
  (void)d;
  *major = 1;
  *minor = 1;
  return 1;
}

Bool XineramaIsActive(Display *d) {
  (void)d;
  return 1;
}

/* Freed by the caller with XFree, which is free(). */
XineramaScreenInfo *XineramaQueryScreens(Display *d, int *count) {
  XineramaScreenInfo found[16];
  int n = heads(found, 16), i;
  XineramaScreenInfo *list = n ? malloc(sizeof(*list) * (size_t)n) : NULL;
  (void)d;
  for (i = 0; list && i < n; ++i) list[i] = found[i];
  *count = list ? n : 0;
  return list;
}
