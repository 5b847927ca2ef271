// JPEG files through libjpeg's 6b interface: colour images become 24-bit
// BGR, greyscale ones 8-bit grey. libjpeg's fatal errors jump back here
// through the error manager; nothing in the jumped-over frames needs
// destructing.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

#include "image_decoders.h"

namespace {

const int kSourceBufferBytes = 4096;

struct ErrorManager {
    jpeg_error_mgr base; // first: libjpeg passes &base
    std::jmp_buf jump;
};

struct StreamSource {
    jpeg_source_mgr base; // first: libjpeg passes &base
    const ImageStream *in;
    JOCTET buffer[kSourceBufferBytes];
    bool started; // something was read already
};

const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

void ExitByJump(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(info->err)->jump, 1);
}

// Warnings (corrupt data that libjpeg can get past) are not printed.
void IgnoreMessage(j_common_ptr, int) {}

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

// At the end of the data the image is closed with an end-of-image marker,
// so that a truncated file still gives its decoded part; an empty file is
// libjpeg's empty-input error.
boolean FillInputBuffer(j_decompress_ptr info)
{
    StreamSource *source = reinterpret_cast<StreamSource *>(info->src);
    int got = ReadSome(*source->in, source->buffer, kSourceBufferBytes);
    if (got <= 0) {
        if (!source->started) ERREXIT(info, JERR_INPUT_EMPTY);
        WARNMS(info, JWRN_JPEG_EOF);
        source->base.next_input_byte = kEndOfImage;
        source->base.bytes_in_buffer = 2;
        return TRUE;
    }
    source->started = true;
    source->base.next_input_byte = source->buffer;
    source->base.bytes_in_buffer = static_cast<size_t>(got);
    return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count)
{
    StreamSource *source = reinterpret_cast<StreamSource *>(info->src);
    while (count > 0) {
        if (source->base.bytes_in_buffer == 0) FillInputBuffer(info);
        size_t step = static_cast<size_t>(count) < source->base.bytes_in_buffer ? static_cast<size_t>(count)
                                                                                   : source->base.bytes_in_buffer;
        source->base.next_input_byte += step;
        source->base.bytes_in_buffer -= step;
        count -= static_cast<long>(step);
    }
}

// Picks the output colour space and checks the size; false refuses.
bool ChooseOutput(jpeg_decompress_struct *info)
{
    if (info->image_width == 0 || info->image_height == 0) return false;
    if (info->image_width > IMAGE_SIDE_LIMIT || info->image_height > IMAGE_SIDE_LIMIT) return false;
    if (static_cast<int64_t>(info->image_width) * info->image_height > GetImagePixelLimit()) return false;
    // Four-component (CMYK) images have no place in the two result layouts.
    if (info->num_components == 1) {
        info->out_color_space = JCS_GRAYSCALE;
        return true;
    }
    if (info->num_components == 3) {
        info->out_color_space = JCS_RGB;
        return true;
    }
    return false;
}

// RGB lines are stored blue first.
void StoreLine(const JSAMPLE *line, uint8_t *dst, int width, int components)
{
    if (components == 1) {
        std::memcpy(dst, line, static_cast<size_t>(width));
        return;
    }
    for (int x = 0; x < width; ++x, line += 3, dst += 3) {
        dst[0] = line[2];
        dst[1] = line[1];
        dst[2] = line[0];
    }
}

// Runs libjpeg; any fatal error lands in the setjmp branch. The state the
// branch needs lives in the caller's objects, not in locals of this frame.
int Decompress(jpeg_decompress_struct *info, ErrorManager *errors, StreamSource *source, GraphImage *out,
               JSAMPLE **line)
{
    if (setjmp(errors->jump)) return -1;
    jpeg_CreateDecompress(info, JPEG_LIB_VERSION, sizeof(jpeg_decompress_struct));
    source->base.init_source = InitSource;
    source->base.fill_input_buffer = FillInputBuffer;
    source->base.skip_input_data = SkipInputData;
    source->base.resync_to_restart = jpeg_resync_to_restart;
    source->base.term_source = TermSource;
    info->src = &source->base;
    jpeg_read_header(info, TRUE);
    if (!ChooseOutput(info)) return -1;
    jpeg_start_decompress(info);
    int components = info->output_components;
    if (components != 1 && components != 3) return -1;
    int width = static_cast<int>(info->output_width), height = static_cast<int>(info->output_height);
    const ColorData *layout = components == 1 ? &Grey8Layout() : &Bgr24Layout();
    if (AllocateGraphImage(out, layout, width, height, width * components) != 0) return -1;
    *line = static_cast<JSAMPLE *>(std::malloc(static_cast<size_t>(width) * static_cast<size_t>(components)));
    if (!*line) return -1;
    while (info->output_scanline < info->output_height) {
        int y = static_cast<int>(info->output_scanline);
        JSAMPROW rows[1] = {*line};
        if (jpeg_read_scanlines(info, rows, 1) != 1) return -1;
        StoreLine(*line, static_cast<uint8_t *>(out->pixels) + static_cast<int64_t>(y) * out->pitch, width, components);
    }
    jpeg_finish_decompress(info);
    return 0;
}

} // namespace

int DecodeJpeg(const ImageStream &in, GraphImage *out)
{
    *out = GraphImage{};
    jpeg_decompress_struct *info = static_cast<jpeg_decompress_struct *>(std::calloc(1, sizeof(jpeg_decompress_struct)));
    ErrorManager *errors = static_cast<ErrorManager *>(std::calloc(1, sizeof(ErrorManager)));
    StreamSource *source = static_cast<StreamSource *>(std::calloc(1, sizeof(StreamSource)));
    JSAMPLE *line = nullptr;
    int result = -1;
    if (info && errors && source) {
        info->err = jpeg_std_error(&errors->base);
        errors->base.error_exit = ExitByJump;
        errors->base.emit_message = IgnoreMessage;
        source->in = &in;
        result = Decompress(info, errors, source, out, &line);
        // Safe on a record that was never fully created: it is zero-filled.
        jpeg_destroy_decompress(info);
    }
    if (result != 0) ReleaseGraphImage(out);
    std::free(line);
    std::free(source);
    std::free(errors);
    std::free(info);
    return result;
}
