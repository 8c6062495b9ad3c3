// JPEG through libjpeg-turbo. The library reports damaged data (truncation, bad Huffman
// codes, stray bytes) only as warnings and carries on with made-up pixels; the game must
// refuse such files, so every warning ends the decode like an error does.
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include <jpeglib.h>

#include "core/error.h"
#include "imaging/image_codecs.h"

namespace imaging {
namespace detail {
namespace {

// libjpeg's error manager with a way back to the caller. The handlers leave through longjmp,
// which only crosses libjpeg's own C frames.
struct JpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnJpegError(j_common_ptr cinfo)
{
    auto* manager = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, manager->message);
    std::longjmp(manager->jump, 1);
}

// Level -1 is a warning: for us the file is corrupt. Higher levels are trace output.
void OnJpegMessage(j_common_ptr cinfo, int level)
{
    if (level < 0) OnJpegError(cinfo);
}

jpeg_error_mgr* InstallHandlers(JpegErrorManager* manager)
{
    jpeg_error_mgr* err = jpeg_std_error(&manager->pub);
    err->error_exit = OnJpegError;
    err->emit_message = OnJpegMessage;
    manager->message[0] = '\0';
    return err;
}

// libjpeg's whole message, with its values (which marker, how many bytes), after our prefix;
// the library's own warnings begin with the same words, which are not repeated.
std::string FailureText(const JpegErrorManager& manager)
{
    constexpr const char* kPrefix = "corrupt JPEG data: ";
    const std::size_t prefixLength = std::strlen(kPrefix);
    const char* message = manager.message;
    if (strncasecmp(message, kPrefix, prefixLength) == 0) message += prefixLength;
    return std::string(kPrefix) + message;
}

// CMYK as stored by the encoder: Adobe's files keep the inks inverted (0 = full ink).
void CmykRowToBgra(const JSAMPLE* cmyk, std::uint8_t* bgra, int width, bool inverted)
{
    for (int x = 0; x < width; ++x, cmyk += 4, bgra += 4) {
        int c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        bgra[0] = static_cast<std::uint8_t>((y * k + 127) / 255);
        bgra[1] = static_cast<std::uint8_t>((m * k + 127) / 255);
        bgra[2] = static_cast<std::uint8_t>((c * k + 127) / 255);
        bgra[3] = 255;
    }
}

void GreyRowToBgra(const JSAMPLE* grey, std::uint8_t* bgra, int width)
{
    for (int x = 0; x < width; ++x, bgra += 4) {
        bgra[0] = bgra[1] = bgra[2] = grey[x];
        bgra[3] = 255;
    }
}

}  // namespace

bool DecodeJpeg(const std::uint8_t* data, std::size_t size, PixelDestination* out, std::string* error)
{
    jpeg_decompress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    JpegErrorManager manager;
    cinfo.err = InstallHandlers(&manager);

    if (setjmp(manager.jump)) {
        jpeg_destroy_decompress(&cinfo);
        SetError(error, FailureText(manager));
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    if (!SizeAllowed(ImageFileFormat::Jpeg, cinfo.image_width, cinfo.image_height, error)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }

    enum class Conversion { Direct, Grey, Cmyk } conversion = Conversion::Direct;
    switch (cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
        cinfo.out_color_space = JCS_GRAYSCALE;
        conversion = Conversion::Grey;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        cinfo.out_color_space = JCS_CMYK;
        conversion = Conversion::Cmyk;
        break;
    default:
        cinfo.out_color_space = JCS_EXT_BGRA;  // libjpeg-turbo fills the fourth byte with 255
        break;
    }
    jpeg_start_decompress(&cinfo);

    const int width = static_cast<int>(cinfo.output_width);
    const int height = static_cast<int>(cinfo.output_height);
    std::ptrdiff_t pitch = 0;
    std::uint8_t* const first = out->Prepare(width, height, &pitch);
    if (first == nullptr) {
        jpeg_destroy_decompress(&cinfo);
        SetError(error, "JPEG picture is " + std::to_string(width) + " x " + std::to_string(height) +
                            ", not the size expected");
        return false;
    }
    const auto row = [first, pitch](int y) { return first + y * pitch; };

    if (conversion == Conversion::Direct) {
        constexpr int kRowsPerCall = 16;
        JSAMPROW rows[kRowsPerCall];
        while (cinfo.output_scanline < cinfo.output_height) {
            const int done = static_cast<int>(cinfo.output_scanline);
            const int count = std::min<int>(kRowsPerCall, height - done);
            for (int i = 0; i < count; ++i) rows[i] = row(done + i);
            jpeg_read_scanlines(&cinfo, rows, static_cast<JDIMENSION>(count));
        }
    } else {
        // The row buffer belongs to libjpeg's memory pool, freed with the decompressor.
        const JDIMENSION rowBytes = cinfo.output_width * cinfo.output_components;
        JSAMPARRAY buffer =
            (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE, rowBytes, 1);
        const bool inverted = cinfo.saw_Adobe_marker;
        while (cinfo.output_scanline < cinfo.output_height) {
            const int y = static_cast<int>(cinfo.output_scanline);
            if (jpeg_read_scanlines(&cinfo, buffer, 1) != 1) continue;
            if (conversion == Conversion::Grey)
                GreyRowToBgra(buffer[0], row(y), width);
            else
                CmykRowToBgra(buffer[0], row(y), width, inverted);
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

bool ReadJpegInfo(const std::uint8_t* data, std::size_t size, ImageInfo* out, std::string* error)
{
    jpeg_decompress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    JpegErrorManager manager;
    cinfo.err = InstallHandlers(&manager);
    if (setjmp(manager.jump)) {
        jpeg_destroy_decompress(&cinfo);
        SetError(error, FailureText(manager));
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    out->width = static_cast<int>(cinfo.image_width);
    out->height = static_cast<int>(cinfo.image_height);
    out->hasAlpha = false;
    out->format = ImageFileFormat::Jpeg;
    jpeg_destroy_decompress(&cinfo);
    return true;
}

}  // namespace detail

namespace {
// The compressor's output: a buffer libjpeg allocates with malloc, freed here.
struct JpegOutput {
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
};

bool CompressJpeg(const Image& image, int quality, JpegOutput* output, std::string* message)
{
    jpeg_compress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    detail::JpegErrorManager manager;
    cinfo.err = detail::InstallHandlers(&manager);
    if (setjmp(manager.jump)) {
        jpeg_destroy_compress(&cinfo);
        *message = manager.message;
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &output->buffer, &output->size);
    cinfo.image_width = static_cast<JDIMENSION>(image.width);
    cinfo.image_height = static_cast<JDIMENSION>(image.height);
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_EXT_BGRA;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image.Row(static_cast<int>(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}
}  // namespace

std::vector<std::uint8_t> EncodeJpeg(const Image& image, int quality)
{
    if (image.width < 1 || image.height < 1 ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * 4)
        throw Error("EncodeJpeg: the picture is empty or its pixel buffer does not match its size");
    JpegOutput output;
    std::string message;
    const bool ok = CompressJpeg(image, std::clamp(quality, 1, 100), &output, &message);
    std::vector<std::uint8_t> bytes;
    if (ok) bytes.assign(output.buffer, output.buffer + output.size);
    std::free(output.buffer);
    if (!ok) throw Error("EncodeJpeg: the JPEG encoder failed: " + message);
    return bytes;
}

}  // namespace imaging
