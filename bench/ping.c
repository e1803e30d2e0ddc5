/* How long a window takes to answer the window manager's _NET_WM_PING, as a desktop asks it: GNOME
 * calls a window "not responding" when it does not answer in time. Every 10 ms this sends the
 * window a ping (a WM_PROTOCOLS ClientMessage with _NET_WM_PING, a serial of its own and the
 * window) and reads the answers, which the window sends back to the root window. At the end it
 * prints the longest time any ping waited for its answer, in ms, and when that ping was sent, in
 * ms from the start; a ping still unanswered at the end (or when the window is destroyed) counts as
 * waiting until then.
 *
 *   cc -O2 -o ping bench/ping.c -lX11 && ./ping WINDOW_ID SECONDS
 */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/select.h>
#include <time.h>

static double now_ms(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static int gone; /* the window is destroyed: sending to it fails */
static int on_error(Display *display, XErrorEvent *error) {
  (void)display;
  if (error->error_code == BadWindow) gone = 1;
  return 0;
}

#define FIRST_SERIAL 0x50000000L /* far from the X server's timestamps the window manager uses */

int main(int argc, char **argv) {
  if (argc != 3) return fprintf(stderr, "usage: ping WINDOW_ID SECONDS\n"), 2;
  Display *display = XOpenDisplay(NULL);
  if (!display) return fprintf(stderr, "ping: no display\n"), 1;
  XSetErrorHandler(on_error);
  const Window window = strtoul(argv[1], NULL, 0), root = DefaultRootWindow(display);
  const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
  const Atom ping = XInternAtom(display, "_NET_WM_PING", False);
  XSelectInput(display, root, SubstructureNotifyMask);  /* the answers */
  XSelectInput(display, window, StructureNotifyMask);   /* its DestroyNotify */

  const double start = now_ms(), end = start + atof(argv[2]) * 1e3;
  const long count = (long)((end - start) / 10) + 1;
  double *sent = calloc(count, sizeof *sent); /* when each ping was sent; 0 once answered */
  double longest = 0, longest_sent = start, next = start;
  long pings = 0;
  while (!gone) {
    double t = now_ms();
    if (t >= end) break;
    if (t >= next && pings < count) {
      XEvent event = {0};
      event.xclient.type = ClientMessage;
      event.xclient.window = window;
      event.xclient.message_type = protocols;
      event.xclient.format = 32;
      event.xclient.data.l[0] = ping;
      event.xclient.data.l[1] = FIRST_SERIAL + pings;
      event.xclient.data.l[2] = window;
      XSendEvent(display, window, False, NoEventMask, &event);
      XSync(display, False); /* a BadWindow comes back now, not later */
      sent[pings++] = t;
      next += 10;
    }
    while (XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == DestroyNotify && event.xdestroywindow.window == window) gone = 1;
      const long serial = event.xclient.data.l[1] - FIRST_SERIAL;
      if (event.type == ClientMessage && event.xclient.window == root &&
          (Atom)event.xclient.data.l[0] == ping && (Window)event.xclient.data.l[2] == window &&
          serial >= 0 && serial < pings && sent[serial] > 0) {
        if (now_ms() - sent[serial] > longest) {
          longest = now_ms() - sent[serial];
          longest_sent = sent[serial];
        }
        sent[serial] = 0;
      }
    }
    /* Sleep until the next ping is due or an answer comes. */
    fd_set fds;
    FD_ZERO(&fds);
    FD_SET(ConnectionNumber(display), &fds);
    double wait = next - now_ms();
    if (wait < 0) wait = 0;
    struct timeval timeout = {(time_t)(wait / 1e3), (suseconds_t)((long)(wait * 1e3) % 1000000)};
    select(ConnectionNumber(display) + 1, &fds, NULL, NULL, &timeout);
  }
  const double stop = now_ms();
  for (long i = 0; i < pings; i++)
    if (sent[i] > 0 && stop - sent[i] > longest) longest = stop - sent[i], longest_sent = sent[i];
  printf("%.0f %.0f\n", longest, longest_sent - start);
  return 0;
}
