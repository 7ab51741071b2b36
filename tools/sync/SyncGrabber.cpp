// sync_grabber: follows a window's damage on an X server and, for every update,
// writes "<ns> <whole> <band 0> <band 1> <band 2> <band 3>": the CLOCK_MONOTONIC
// instant the update was seen and the mean brightness (0..255, mean of R, G and B) of
// the window and of its four horizontal bands, top to bottom, read back through
// shared memory. It waits for a window with the
// title that is at least the given size (the demo asks its question in a smaller
// window of the same title) and runs until SIGINT, SIGTERM, the window's end, or the
// given seconds.
// Usage: sync_grabber TITLE MIN_WIDTH MIN_HEIGHT OUTPUT [seconds]
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/Xfixes.h>
#include <poll.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

namespace {

volatile std::sig_atomic_t stopRequested = 0;
bool windowGone = false;

void requestStop(int)
{
    stopRequested = 1;
}

int64_t monotonicNs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// The window going away mid-request is the normal end of a run, not a failure.
int onXError(Display*, XErrorEvent* event)
{
    if (event->error_code == BadWindow || event->error_code == BadDrawable || event->error_code == BadMatch) {
        windowGone = true;
    }
    return 0;
}

// The window's title: _NET_WM_NAME (UTF-8, which browsers set and XFetchName does not
// read), else WM_NAME.
std::string titleOf(Display* display, Window window)
{
    static const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    static const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(
            display, window, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data)
            == Success
        && type == utf8 && format == 8 && data != nullptr) {
        title.assign(reinterpret_cast<const char*>(data), count);
    } else {
        char* name = nullptr;
        if (XFetchName(display, window, &name) && name != nullptr) {
            title = name;
            XFree(name);
        }
    }
    if (data != nullptr) {
        XFree(data);
    }
    return title;
}

Window findWindow(Display* display, Window parent, const char* title, int minWidth, int minHeight)
{
    Window root = 0;
    Window parentOut = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &parentOut, &children, &count)) {
        return 0;
    }
    Window match = 0;
    for (unsigned i = 0; i < count && match == 0; ++i) {
        XWindowAttributes attributes {};
        if (titleOf(display, children[i]) == title && XGetWindowAttributes(display, children[i], &attributes)
            && attributes.map_state == IsViewable && attributes.width >= minWidth
            && attributes.height >= minHeight) {
            match = children[i];
        }
        if (match == 0) {
            match = findWindow(display, children[i], title, minWidth, minHeight);
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return match;
}

int shiftOf(unsigned long mask)
{
    int shift = 0;
    while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

constexpr int bandCount = 4;

struct Brightness {
    double whole = 0.0;
    double bands[bandCount] = {};
};

Brightness measure(const XImage* image)
{
    const int redShift = shiftOf(image->red_mask);
    const int greenShift = shiftOf(image->green_mask);
    const int blueShift = shiftOf(image->blue_mask);
    double sums[bandCount] = {};
    double pixels[bandCount] = {};
    for (int y = 0; y < image->height; ++y) {
        const auto* line = reinterpret_cast<const uint32_t*>(image->data + y * image->bytes_per_line);
        uint64_t sum = 0;
        for (int x = 0; x < image->width; ++x) {
            const uint32_t pixel = line[x];
            sum += ((pixel >> redShift) & 0xFF) + ((pixel >> greenShift) & 0xFF)
                + ((pixel >> blueShift) & 0xFF);
        }
        const int band = y * bandCount / image->height;
        sums[band] += static_cast<double>(sum);
        pixels[band] += 3.0 * image->width;
    }
    Brightness brightness;
    double total = 0.0;
    for (int band = 0; band < bandCount; ++band) {
        brightness.bands[band] = sums[band] / pixels[band];
        total += sums[band];
    }
    brightness.whole = total / (3.0 * image->width * image->height);
    return brightness;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 5 || argc > 6) {
        std::fprintf(stderr, "usage: %s TITLE MIN_WIDTH MIN_HEIGHT OUTPUT [seconds]\n", argv[0]);
        return 2;
    }
    const char* title = argv[1];
    const int minWidth = std::atoi(argv[2]);
    const int minHeight = std::atoi(argv[3]);
    const double seconds = argc == 6 ? std::atof(argv[5]) : 0.0;
    const int64_t end = monotonicNs() + static_cast<int64_t>(seconds * 1e9);
    auto timeLeft = [&] { return !stopRequested && (seconds <= 0.0 || monotonicNs() < end); };

    struct sigaction action { };
    action.sa_handler = requestStop;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "sync_grabber: cannot open the display\n");
        return 1;
    }
    int damageEvent = 0;
    int damageError = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError) || !XShmQueryExtension(display)) {
        std::fprintf(stderr, "sync_grabber: the X server lacks DAMAGE or MIT-SHM\n");
        return 1;
    }
    XSetErrorHandler(onXError);

    Window window = 0;
    while (window == 0 && timeLeft()) {
        window = findWindow(display, DefaultRootWindow(display), title, minWidth, minHeight);
        if (window == 0) {
            struct timespec pause {
                0, 20000000
            };
            nanosleep(&pause, nullptr);
        }
    }
    if (window == 0) {
        std::fprintf(
            stderr, "sync_grabber: no window \"%s\" of at least %dx%d\n", title, minWidth, minHeight);
        return 1;
    }
    XWindowAttributes attributes {};
    XGetWindowAttributes(display, window, &attributes);

    XShmSegmentInfo segment {};
    XImage* image = XShmCreateImage(display, attributes.visual, static_cast<unsigned>(attributes.depth),
        ZPixmap, nullptr, &segment, static_cast<unsigned>(attributes.width),
        static_cast<unsigned>(attributes.height));
    if (image == nullptr || image->bits_per_pixel != 32) {
        std::fprintf(stderr, "sync_grabber: needs a 32-bit-per-pixel window\n");
        return 1;
    }
    segment.shmid
        = shmget(IPC_PRIVATE, static_cast<size_t>(image->bytes_per_line) * image->height, IPC_CREAT | 0600);
    segment.shmaddr = image->data = static_cast<char*>(shmat(segment.shmid, nullptr, 0));
    segment.readOnly = False;
    XShmAttach(display, &segment);
    XSync(display, False);
    shmctl(segment.shmid, IPC_RMID, nullptr); // freed once both sides detach

    std::FILE* output = std::fopen(argv[4], "w");
    if (output == nullptr) {
        std::fprintf(stderr, "sync_grabber: cannot write %s\n", argv[4]);
        return 1;
    }
    XSelectInput(display, window, StructureNotifyMask);
    const Damage damage = XDamageCreate(display, window, XDamageReportNonEmpty);
    XFlush(display);

    long updates = 0;
    pollfd connection { ConnectionNumber(display), POLLIN, 0 };
    while (timeLeft() && !windowGone) {
        if (XPending(display) == 0) {
            poll(&connection, 1, 50);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == DestroyNotify || event.type == UnmapNotify) {
            break;
        }
        if (event.type != damageEvent + XDamageNotify) {
            continue;
        }
        // stamped when seen; the damage is cleared before the read-back, so a frame
        // that lands during the read-back raises a new notification of its own
        const int64_t seen = monotonicNs();
        XDamageSubtract(display, damage, None, None);
        if (!XShmGetImage(display, window, image, 0, 0, AllPlanes) || windowGone) {
            break;
        }
        const Brightness brightness = measure(image);
        std::fprintf(output, "%lld %.3f %.3f %.3f %.3f %.3f\n", static_cast<long long>(seen),
            brightness.whole, brightness.bands[0], brightness.bands[1], brightness.bands[2],
            brightness.bands[3]);
        ++updates;
    }
    std::fclose(output);
    if (!windowGone) {
        XDamageDestroy(display, damage); // went with the window otherwise
    }
    XShmDetach(display, &segment);
    XSync(display, False);
    XDestroyImage(image); // frees the image record only: the pixels are the segment's
    shmdt(segment.shmaddr);
    XCloseDisplay(display);
    std::fprintf(stderr, "sync_grabber: %ld updates\n", updates);
    return 0;
}
