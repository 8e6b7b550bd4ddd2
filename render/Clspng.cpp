#include "render/Clspng.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "render/Clsdib.h"

bool WritePng(const TDIB& dib, const std::string& path, std::string& error) {
    const int w = dib.GetWidth(), h = dib.GetHeight();
    if (w <= 0 || h <= 0) {
        error = "the raster is empty";
        return false;
    }
    FILE* fp = std::fopen(path.c_str(), "wb");
    if (!fp) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, &info);
        std::fclose(fp);
        error = "out of memory writing " + path;
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(fp);
        std::remove(path.c_str());
        error = "failed writing " + path;
        return false;
    }
    png_init_io(png, fp);
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
    if (std::fclose(fp) != 0) {
        error = "failed closing " + path;
        return false;
    }
    return true;
}
