// PNG through libpng: every colour type and depth comes out as 8-bit B, G, R, A. Gamma and
// colour-profile chunks are not applied: the game shows pixels as stored.
#include <csetjmp>
#include <cstring>

#include <png.h>
#include <zlib.h>

#include "core/error.h"
#include "imaging/image_codecs.h"

namespace imaging {
namespace detail {
namespace {

// The file in memory and the last message libpng gave.
struct PngSource {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t position = 0;
    std::string message;
    // Set while the picture's rows are read: the reader leaves libpng (through its error jump)
    // at the first read once the last row is complete, and marks the picture complete.
    png_uint_32 rows = 0;
    bool interlaced = false;
    bool readingRows = false;
    bool pictureComplete = false;
};

// Whether libpng has delivered the last row of the picture (of the last interlace pass).
bool RowsComplete(png_structp png, const PngSource& source)
{
    if (source.interlaced) return png_get_current_pass_number(png) >= 7;
    return png_get_current_row_number(png) >= source.rows;
}

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count)
{
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    // With the last row done, libpng goes on to inflate every byte of picture data left in
    // the file (a file may carry megabytes past its picture) before it reads the closing
    // chunks: none of that changes the picture.
    if (source->readingRows && RowsComplete(png, *source)) {
        source->pictureComplete = true;
        png_longjmp(png, 1);
    }
    if (count > source->size - source->position) png_error(png, "the file ends early");
    std::memcpy(out, source->data + source->position, count);
    source->position += count;
}

[[noreturn]] void OnPngError(png_structp png, png_const_charp message)
{
    auto* source = static_cast<PngSource*>(png_get_error_ptr(png));
    if (source) source->message = message ? message : "unknown libpng error";
    png_longjmp(png, 1);
}

// Warnings concern ancillary data only (a damaged text or profile chunk is dropped by the
// library); the pixels are unaffected, so they are not failures.
void OnPngWarning(png_structp, png_const_charp) {}

// Owns the read structures; png_destroy_read_struct tolerates null members.
struct PngReadHandle {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngReadHandle() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

bool OpenPng(PngReadHandle* handle, PngSource* source, std::string* error)
{
    handle->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, source, OnPngError, OnPngWarning);
    if (handle->png) handle->info = png_create_info_struct(handle->png);
    if (!handle->png || !handle->info) {
        SetError(error, "out of memory starting the PNG decoder");
        return false;
    }
    png_set_read_fn(handle->png, source, ReadFromMemory);
    return true;
}

std::string FailureText(const PngSource& source)
{
    return "corrupt PNG data: " + source.message;
}

// After the last row: whether the rest of the file is whole, as libpng would have found on
// reading on. Chunk after chunk lies within the file up to the closing IEND chunk, and each
// critical chunk libpng has not read to its end (the picture data it was in, and any after
// it) has its checksum right. The picture data itself is not inflated.
bool EndsInWholeChunks(const PngSource& source, std::string* error)
{
    constexpr std::size_t kSignature = 8;
    constexpr std::size_t kChunkFrame = 12;  // length, name and checksum around the data
    constexpr std::uint8_t kAncillary = 0x20;  // the name's first letter in lower case
    for (std::size_t at = kSignature; source.size - at >= kChunkFrame;) {
        const std::uint8_t* chunk = source.data + at;
        const std::size_t length = png_get_uint_32(chunk);
        if (length > PNG_UINT_31_MAX || length > source.size - at - kChunkFrame) break;
        const std::size_t end = at + kChunkFrame + length;
        if (end > source.position && (chunk[4] & kAncillary) == 0) {
            const auto sum = crc32(crc32(0, nullptr, 0), chunk + 4, static_cast<uInt>(4 + length));
            if (sum != png_get_uint_32(chunk + 8 + length)) {
                SetError(error, "corrupt PNG data: " + std::string(reinterpret_cast<const char*>(chunk + 4), 4) +
                                    ": CRC error");
                return false;
            }
        }
        if (std::memcmp(chunk + 4, "IEND", 4) == 0) return true;
        at = end;
    }
    SetError(error, "corrupt PNG data: the file ends early");
    return false;
}

// The transformations that turn any PNG into 8-bit B, G, R, A.
void RequestBgra(png_structp png, png_infop info)
{
    const int depth = png_get_bit_depth(png, info);
    const int colourType = png_get_color_type(png, info);
    png_set_expand(png);  // palette -> RGB, grey < 8 bits -> 8 bits, tRNS -> alpha
    if (depth == 16) png_set_strip_16(png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);  // only where there is no alpha of the file's
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
}

}  // namespace

bool DecodePng(const std::uint8_t* data, std::size_t size, Image* out, std::string* error)
{
    PngSource source{data, size, 0, {}};
    PngReadHandle handle;
    std::vector<png_bytep> rows;
    if (!OpenPng(&handle, &source, error)) return false;
    if (setjmp(png_jmpbuf(handle.png))) {
        if (source.pictureComplete) return EndsInWholeChunks(source, error);
        SetError(error, FailureText(source));
        return false;
    }
    png_read_info(handle.png, handle.info);
    const png_uint_32 width = png_get_image_width(handle.png, handle.info);
    const png_uint_32 height = png_get_image_height(handle.png, handle.info);
    if (!SizeAllowed(ImageFileFormat::Png, width, height, error)) return false;
    RequestBgra(handle.png, handle.info);
    if (png_get_rowbytes(handle.png, handle.info) != static_cast<png_size_t>(width) * 4)
        png_error(handle.png, "unexpected row layout after conversion");

    out->width = static_cast<int>(width);
    out->height = static_cast<int>(height);
    out->pixels.resize(static_cast<std::size_t>(width) * height * 4);
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = out->Row(static_cast<int>(y));
    source.rows = height;
    source.interlaced = png_get_interlace_type(handle.png, handle.info) != PNG_INTERLACE_NONE;
    source.readingRows = true;
    png_read_image(handle.png, rows.data());
    // Not reached while the file has bytes after the last row's: the reader has left libpng.
    return EndsInWholeChunks(source, error);
}

bool ReadPngInfo(const std::uint8_t* data, std::size_t size, ImageInfo* out, std::string* error)
{
    PngSource source{data, size, 0, {}};
    PngReadHandle handle;
    if (!OpenPng(&handle, &source, error)) return false;
    if (setjmp(png_jmpbuf(handle.png))) {
        SetError(error, FailureText(source));
        return false;
    }
    png_read_info(handle.png, handle.info);
    out->width = static_cast<int>(png_get_image_width(handle.png, handle.info));
    out->height = static_cast<int>(png_get_image_height(handle.png, handle.info));
    const int colourType = png_get_color_type(handle.png, handle.info);
    out->hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0 ||
                    png_get_valid(handle.png, handle.info, PNG_INFO_tRNS) != 0;
    out->format = ImageFileFormat::Png;
    return true;
}

}  // namespace detail

namespace {
void WriteToVector(png_structp png, png_bytep data, png_size_t count)
{
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    bytes->insert(bytes->end(), data, data + count);
}
void FlushNothing(png_structp) {}

struct PngWriteHandle {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngWriteHandle() { png_destroy_write_struct(&png, info ? &info : nullptr); }
};

bool WritePng(const Image& image, std::vector<std::uint8_t>* bytes, detail::PngSource* messages)
{
    PngWriteHandle handle;
    std::vector<png_bytep> rows(static_cast<std::size_t>(image.height));
    handle.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, messages, detail::OnPngError,
                                         detail::OnPngWarning);
    if (handle.png) handle.info = png_create_info_struct(handle.png);
    if (!handle.png || !handle.info) {
        messages->message = "out of memory";
        return false;
    }
    if (setjmp(png_jmpbuf(handle.png))) return false;
    png_set_write_fn(handle.png, bytes, WriteToVector, FlushNothing);
    png_set_IHDR(handle.png, handle.info, static_cast<png_uint_32>(image.width),
                 static_cast<png_uint_32>(image.height), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(handle.png, handle.info);
    png_set_bgr(handle.png);
    for (int y = 0; y < image.height; ++y) rows[y] = const_cast<png_bytep>(image.Row(y));
    png_write_image(handle.png, rows.data());
    png_write_end(handle.png, nullptr);
    return true;
}
}  // namespace

std::vector<std::uint8_t> EncodePng(const Image& image)
{
    if (image.width < 1 || image.height < 1 ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * 4)
        throw Error("EncodePng: the picture is empty or its pixel buffer does not match its size");
    std::vector<std::uint8_t> bytes;
    detail::PngSource messages;
    if (!WritePng(image, &bytes, &messages))
        throw Error("EncodePng: the PNG encoder failed: " + messages.message);
    return bytes;
}

}  // namespace imaging
