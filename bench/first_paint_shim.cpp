// Preloaded into a program started by app_measure.sh: writes the CLOCK_REALTIME time in ns
// of its first image sent to the X server (the first paint) to $FIRST_PAINT_FILE.
#include <dlfcn.h>
#include <fcntl.h>
#include <time.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

std::atomic<bool> g_noted{false};

void NoteFirstPaint() {
    if (g_noted.exchange(true)) return;
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    const char* path = std::getenv("FIRST_PAINT_FILE");
    if (path == nullptr) return;
    char line[32];
    const int n = std::snprintf(line, sizeof line, "%lld\n",
                                static_cast<long long>(t.tv_sec) * 1'000'000'000LL + t.tv_nsec);
    const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return;
    if (write(fd, line, static_cast<size_t>(n)) != n) std::perror("first_paint_shim");
    close(fd);
}

// The real function: next in the global scope, or in its library as the toolkit's platform
// plugin loaded it (a plugin's own libraries stay out of the global scope).
template <typename F>
F Next(const char* name, const char* library) {
    if (void* f = dlsym(RTLD_NEXT, name)) return reinterpret_cast<F>(f);
    void* handle = dlopen(library, RTLD_LAZY | RTLD_NOLOAD);
    return reinterpret_cast<F>(handle != nullptr ? dlsym(handle, name) : nullptr);
}

}  // namespace

// The three ways Qt's xcb backing store puts pixels on a window.
extern "C" xcb_void_cookie_t xcb_shm_put_image(xcb_connection_t* c, xcb_drawable_t drawable,
                                               xcb_gcontext_t gc, uint16_t totalWidth,
                                               uint16_t totalHeight, uint16_t srcX, uint16_t srcY,
                                               uint16_t srcWidth, uint16_t srcHeight, int16_t dstX,
                                               int16_t dstY, uint8_t depth, uint8_t format,
                                               uint8_t sendEvent, uint32_t shmseg,
                                               uint32_t offset) {
    using Fn = xcb_void_cookie_t (*)(xcb_connection_t*, xcb_drawable_t, xcb_gcontext_t, uint16_t,
                                     uint16_t, uint16_t, uint16_t, uint16_t, uint16_t, int16_t,
                                     int16_t, uint8_t, uint8_t, uint8_t, uint32_t, uint32_t);
    static const Fn next = Next<Fn>("xcb_shm_put_image", "libxcb-shm.so.0");
    NoteFirstPaint();
    return next(c, drawable, gc, totalWidth, totalHeight, srcX, srcY, srcWidth, srcHeight, dstX,
                dstY, depth, format, sendEvent, shmseg, offset);
}

extern "C" xcb_void_cookie_t xcb_put_image(xcb_connection_t* c, uint8_t format,
                                           xcb_drawable_t drawable, xcb_gcontext_t gc,
                                           uint16_t width, uint16_t height, int16_t dstX,
                                           int16_t dstY, uint8_t leftPad, uint8_t depth,
                                           uint32_t dataLen, const uint8_t* data) {
    using Fn = xcb_void_cookie_t (*)(xcb_connection_t*, uint8_t, xcb_drawable_t, xcb_gcontext_t,
                                     uint16_t, uint16_t, int16_t, int16_t, uint8_t, uint8_t,
                                     uint32_t, const uint8_t*);
    static const Fn next = Next<Fn>("xcb_put_image", "libxcb.so.1");
    NoteFirstPaint();
    return next(c, format, drawable, gc, width, height, dstX, dstY, leftPad, depth, dataLen, data);
}

extern "C" xcb_void_cookie_t xcb_copy_area(xcb_connection_t* c, xcb_drawable_t src,
                                           xcb_drawable_t dst, xcb_gcontext_t gc, int16_t srcX,
                                           int16_t srcY, int16_t dstX, int16_t dstY, uint16_t width,
                                           uint16_t height) {
    using Fn =
        xcb_void_cookie_t (*)(xcb_connection_t*, xcb_drawable_t, xcb_drawable_t, xcb_gcontext_t,
                              int16_t, int16_t, int16_t, int16_t, uint16_t, uint16_t);
    static const Fn next = Next<Fn>("xcb_copy_area", "libxcb.so.1");
    NoteFirstPaint();
    return next(c, src, dst, gc, srcX, srcY, dstX, dstY, width, height);
}
