#include "plugins/pictolan/pictures/JpegDecoder.h"

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/Stream.h"
#include "plugins/pictolan/pictures/StreamReads.h"

// libjpeg leaves a failed step through longjmp. The steps below run in
// frames that hold nothing with a destructor, and every callback keeps
// errors of the stream to itself, so no C++ object is ever jumped over.

namespace pictolan {
namespace {

constexpr const char* kJpegErrorCaption = "JPEG error";
constexpr const char* kDecompressErrorText = "Error decompressing JPEG image: ";
constexpr const char* kEndOfDataErrorText = "Error decompressing JPEG image (unexpected end of image data)";
constexpr size_t kSourceBufferSize = 4096;

// The library's error record, followed by where its messages go and the
// jump buffer of the step now running.
struct JpegErrors {
  jpeg_error_mgr library;
  CStr* messages;
  std::jmp_buf* jump;
};

struct JpegSource {
  jpeg_source_mgr library;
  CStream* stream;
  bool startOfFile;
  JOCTET buffer[kSourceBufferSize];
};

JpegErrors& ErrorsOf(j_common_ptr info) { return *reinterpret_cast<JpegErrors*>(info->err); }
JpegSource& SourceOf(j_decompress_ptr info) { return *reinterpret_cast<JpegSource*>(info->src); }

// Each message joins the collected text, a line feed between two.
void CollectMessage(j_common_ptr info) {
  char text[JMSG_LENGTH_MAX];
  info->err->format_message(info, text);
  CStr& messages = *ErrorsOf(info).messages;
  try {
    if (!messages.IsEmpty()) messages += "\n";
    messages += text;
  } catch (...) {
    // A message that finds no memory is lost; the decode goes on.
  }
}

[[noreturn]] void LeaveStep(j_common_ptr info) {
  info->err->output_message(info);
  std::longjmp(*ErrorsOf(info).jump, 1);
}

void StartSource(j_decompress_ptr info) { SourceOf(info).startOfFile = true; }

boolean FillSource(j_decompress_ptr info) {
  JpegSource& source = SourceOf(info);
  DWORD count = ReadIgnoringErrors(*source.stream, source.buffer, kSourceBufferSize);
  if (count == 0) {
    if (source.startOfFile) ERREXIT(info, JERR_INPUT_EMPTY);
    // The data ends early: an end-of-image marker lets the library finish
    // the picture with its filler.
    WARNMS(info, JWRN_JPEG_EOF);
    source.buffer[0] = 0xFF;
    source.buffer[1] = JPEG_EOI;
    count = 2;
  }
  source.library.next_input_byte = source.buffer;
  source.library.bytes_in_buffer = count;
  source.startOfFile = false;
  return TRUE;
}

void SkipSource(j_decompress_ptr info, long count) {
  if (count <= 0) return;
  jpeg_source_mgr& source = SourceOf(info).library;
  auto left = static_cast<size_t>(count);
  while (left > source.bytes_in_buffer) {
    left -= source.bytes_in_buffer;
    FillSource(info);
  }
  source.next_input_byte += left;
  source.bytes_in_buffer -= left;
}

void EndSource(j_decompress_ptr) {}

void PrepareSource(JpegSource& source, CStream& stream) {
  source.library.init_source = &StartSource;
  source.library.fill_input_buffer = &FillSource;
  source.library.skip_input_data = &SkipSource;
  source.library.resync_to_restart = &jpeg_resync_to_restart;
  source.library.term_source = &EndSource;
  source.library.next_input_byte = nullptr;
  source.library.bytes_in_buffer = 0;
  source.stream = &stream;
  source.startOfFile = true;
}

// Creates the decompressor, reads the header and asks for RGB output.
bool OpenStep(jpeg_decompress_struct* info, JpegErrors* errors, JpegSource* source, bool* created) {
  std::jmp_buf jump;
  errors->jump = &jump;
  if (setjmp(jump)) return false;
  jpeg_create_decompress(info);
  *created = true;
  // The library's working memory stays within what a bitmap may hold;
  // a picture that needs more ends with the library's error.
  info->mem->max_memory_to_use = CDIBitmap::kMaxDataSize;
  info->src = &source->library;
  if (jpeg_read_header(info, TRUE) != JPEG_HEADER_OK) return false;
  info->out_color_space = JCS_RGB;
  return true;
}

// The lines read, or -1 when the library failed.
long ReadStep(jpeg_decompress_struct* info, JpegErrors* errors, JSAMPROW* rows, JDIMENSION width,
              JDIMENSION height) {
  std::jmp_buf jump;
  errors->jump = &jump;
  if (setjmp(jump)) return -1;
  jpeg_start_decompress(info);
  // The rows were made for the header's size in RGB; anything else would
  // write past them.
  if (info->output_width != width || info->output_height != height || info->output_components != 3) {
    ERREXIT1(info, JERR_BAD_STATE, info->global_state);
  }
  while (info->output_scanline < info->output_height) {
    const JDIMENSION line = info->output_scanline;
    if (jpeg_read_scanlines(info, rows + line, info->output_height - line) == 0) break;
  }
  const long lines = info->output_scanline;
  jpeg_finish_decompress(info);
  return lines;
}

bool DestroyStep(jpeg_decompress_struct* info, JpegErrors* errors) {
  std::jmp_buf jump;
  errors->jump = &jump;
  if (setjmp(jump)) return false;
  jpeg_destroy_decompress(info);
  return true;
}

// The library's records, freed in the right order whichever way the
// decode ends.
struct JpegSession {
  CStr ownMessages;
  JpegErrors errors{};
  jpeg_decompress_struct info{};
  JpegSource source{};
  bool created = false;

  explicit JpegSession(CStr* messages) {
    info.err = jpeg_std_error(&errors.library);
    errors.library.error_exit = &LeaveStep;
    errors.library.output_message = &CollectMessage;
    errors.messages = messages ? messages : &ownMessages;
  }
  ~JpegSession() {
    if (created) DestroyStep(&info, &errors);
  }
  JpegSession(const JpegSession&) = delete;
  JpegSession& operator=(const JpegSession&) = delete;
};

CPixelFormat RgbFormat() {
  CPixelFormat format;
  format.SetMasks(24, 0x0000FF, 0x00FF00, 0xFF0000);
  return format;
}

}  // namespace

bool DecodeJpeg(CStream& stream, CDIBitmap& bitmap, const DecodeOptions& options) {
  // The records are large (the source buffer); they live on the heap.
  std::unique_ptr<JpegSession> session(new (std::nothrow) JpegSession(options.messages));
  if (!session) ThrowMemoryError();
  PrepareSource(session->source, stream);
  if (!OpenStep(&session->info, &session->errors, &session->source, &session->created)) return false;

  const JDIMENSION width = session->info.image_width;
  const JDIMENSION height = session->info.image_height;
  if (!CreatePictureBitmap(bitmap, width, height, RgbFormat(), true, options)) return false;
  std::unique_ptr<JSAMPROW[]> rows(new (std::nothrow) JSAMPROW[height]);
  if (!rows) ThrowMemoryError();
  for (JDIMENSION i = 0; i < height; ++i) rows[i] = bitmap.GetPixels() + static_cast<size_t>(i) * 3 * width;

  const long lines = ReadStep(&session->info, &session->errors, rows.get(), width, height);
  if (lines < 0) ThrowError<CError>(kJpegErrorCaption, CStr(kDecompressErrorText) + *session->errors.messages);
  if (static_cast<JDIMENSION>(lines) < height) ThrowError<CError>(kJpegErrorCaption, kEndOfDataErrorText);
  return true;
}

}  // namespace pictolan
