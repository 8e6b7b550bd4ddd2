#include "tools/chart/Chartjpeg.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <jpeglib.h>
#include <unistd.h>
#include <vector>

#include "render/Clsdib.h"
#include "render/Clsfilewrite.h"
#include "tools/chart/Chartpage.h"

namespace {

// libjpeg ends the process on an error unless told to come back here.
struct TJpegError {
    jpeg_error_mgr Mgr;
    std::jmp_buf Back;
    char Message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr c) {
    auto* e = reinterpret_cast<TJpegError*>(c->err);
    (*c->err->format_message)(c, e->Message);
    std::longjmp(e->Back, 1);
}

// The whole picture compressed in memory; false with libjpeg's reason.
bool Compress(const TDIB& dib, int quality, bool printColours, std::vector<unsigned char>& out,
              std::string& error) {
    const int w = dib.GetWidth(), h = dib.GetHeight();
    unsigned char table[256][3];
    const RGBQUAD* tbl = dib.GetColTbl();
    for (int i = 0; i < 256; ++i) {
        unsigned long c = RGB(tbl[i].rgbRed, tbl[i].rgbGreen, tbl[i].rgbBlue);
        if (printColours) c = PrintColour(c);
        table[i][0] = static_cast<unsigned char>(GetRValue(c));
        table[i][1] = static_cast<unsigned char>(GetGValue(c));
        table[i][2] = static_cast<unsigned char>(GetBValue(c));
    }
    jpeg_compress_struct cinfo{};
    TJpegError err{};
    cinfo.err = jpeg_std_error(&err.Mgr);
    err.Mgr.error_exit = OnError;
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    std::vector<unsigned char> row(static_cast<std::size_t>(w) * 3);
    if (setjmp(err.Back)) {
        jpeg_destroy_compress(&cinfo);
        std::free(mem);
        error = err.Message;
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &mem, &size);
    cinfo.image_width = static_cast<JDIMENSION>(w);
    cinfo.image_height = static_cast<JDIMENSION>(h);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    for (int y = 0; y < h; ++y) {
        const uint8_t* from = dib.Row(y);
        for (int x = 0; x < w; ++x)
            std::memcpy(&row[static_cast<std::size_t>(x) * 3], table[from[x]], 3);
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    out.assign(mem, mem + size);
    std::free(mem);
    return true;
}

} // namespace

bool WriteChartJpeg(const TDIB& dib, int quality, bool printColours, const std::string& path,
                    std::string& error) {
    if (dib.GetWidth() <= 0 || dib.GetHeight() <= 0) {
        error = "the raster is empty";
        return false;
    }
    std::vector<unsigned char> bytes;
    std::string why;
    if (!Compress(dib, quality, printColours, bytes, why)) {
        error = "cannot write " + path + ": " + why;
        return false;
    }
    return WriteWhole(
        path,
        [&](int fd, std::string& e) {
            std::size_t done = 0;
            while (done < bytes.size()) {
                const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
                if (n < 0 && errno == EINTR) continue;
                if (n <= 0) {
                    e = "cannot write " + path + ": " + std::strerror(n < 0 ? errno : ENOSPC);
                    return false;
                }
                done += static_cast<std::size_t>(n);
            }
            return true;
        },
        error);
}
