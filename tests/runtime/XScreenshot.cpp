#include "XScreenshot.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <png.h>

#include <cstdio>
#include <vector>

namespace velkan::test {

namespace {

// The image as an RGB PNG into out; false when libpng fails.
bool WritePng(FILE* out, XImage* image)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = false;
    std::vector<unsigned char> row(static_cast<size_t>(image->width) * 3);
    if (info && !setjmp(png_jmpbuf(png))) {
        png_init_io(png, out);
        png_set_IHDR(png, info, static_cast<png_uint_32>(image->width),
                     static_cast<png_uint_32>(image->height), 8, PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < image->height; ++y) {
            for (int x = 0; x < image->width; ++x) {
                unsigned long pixel = XGetPixel(image, x, y);
                row[3 * x] = static_cast<unsigned char>((pixel & image->red_mask) >> 16);
                row[3 * x + 1] = static_cast<unsigned char>((pixel & image->green_mask) >> 8);
                row[3 * x + 2] = static_cast<unsigned char>(pixel & image->blue_mask);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    return ok;
}

}  // namespace

bool SaveScreenshot(const std::string& display, const std::string& pngPath)
{
    Display* x = XOpenDisplay(display.c_str());
    if (!x) return false;
    Window root = DefaultRootWindow(x);
    XWindowAttributes attributes;
    XGetWindowAttributes(x, root, &attributes);
    XImage* image = XGetImage(x, root, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    bool ok = false;
    if (image) {
        if (FILE* out = std::fopen(pngPath.c_str(), "wb")) {
            ok = WritePng(out, image);
            ok = std::fclose(out) == 0 && ok;
        }
        XDestroyImage(image);
    }
    XCloseDisplay(x);
    return ok;
}

long CountScreenPixels(const std::string& display, unsigned long rgb)
{
    Display* x = XOpenDisplay(display.c_str());
    if (!x) return -1;
    Window root = DefaultRootWindow(x);
    XWindowAttributes attributes;
    XGetWindowAttributes(x, root, &attributes);
    XImage* image = XGetImage(x, root, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    long count = image ? 0 : -1;
    for (int y = 0; image && y < image->height; ++y) {
        for (int i = 0; i < image->width; ++i) {
            unsigned long pixel = XGetPixel(image, i, y);
            unsigned long seen = ((pixel & image->red_mask) >> 16 << 16) |
                                 ((pixel & image->green_mask) >> 8 << 8) |
                                 (pixel & image->blue_mask);
            if (seen == rgb) ++count;
        }
    }
    if (image) XDestroyImage(image);
    XCloseDisplay(x);
    return count;
}

bool DisplayAnswers(const std::string& display)
{
    Display* x = XOpenDisplay(display.c_str());
    if (x) XCloseDisplay(x);
    return x != nullptr;
}

}  // namespace velkan::test
