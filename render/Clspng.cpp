#include "render/Clspng.h"

#include <png.h>

#include <cerrno>
#include <climits>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "render/Clsdib.h"
#include "render/Clsfilewrite.h"

namespace {

// Where the bytes go and why they could not.
struct TSink {
    int fd = -1;
    int err = 0;          // errno of the first failed write
    std::string pngError; // libpng's own reason, when it stopped
};

void WriteBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* sink = static_cast<TSink*>(png_get_io_ptr(png));
    while (length > 0) {
        const ssize_t n = ::write(sink->fd, data, length);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            sink->err = n < 0 ? errno : ENOSPC;
            png_error(png, "write failed");
        }
        data += n;
        length -= static_cast<png_size_t>(n);
    }
}

void Flush(png_structp) {}

void OnError(png_structp png, png_const_charp message) {
    auto* sink = static_cast<TSink*>(png_get_error_ptr(png));
    if (sink->pngError.empty()) sink->pngError = message;
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Writes the picture to fd; false with the reason in error.
bool Encode(const TDIB& dib, int fd, const std::string& path, std::string& error) {
    const int w = dib.GetWidth(), h = dib.GetHeight();
    TSink sink;
    sink.fd = fd;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, OnError, OnWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, &info);
        error = "out of memory writing " + path;
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        error = "cannot write " + path + ": " +
                (sink.err != 0 ? std::string(std::strerror(sink.err)) : sink.pngError);
        return false;
    }
    png_set_write_fn(png, &sink, WriteBytes, Flush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
                 PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    // All 256 entries: a pixel may carry an index past the colours in use.
    png_color pal[256];
    const RGBQUAD* tbl = dib.GetColTbl();
    for (int i = 0; i < 256; ++i)
        pal[i] = png_color{tbl[i].rgbRed, tbl[i].rgbGreen, tbl[i].rgbBlue};
    png_set_PLTE(png, info, pal, 256);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y)
        png_write_row(png, const_cast<png_bytep>(dib.Row(y)));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool WritePng(const TDIB& dib, const std::string& path, std::string& error) {
    if (dib.GetWidth() <= 0 || dib.GetHeight() <= 0) {
        error = "the raster is empty";
        return false;
    }
    return WriteWhole(
        path, [&](int fd, std::string& why) { return Encode(dib, fd, path, why); }, error);
}
