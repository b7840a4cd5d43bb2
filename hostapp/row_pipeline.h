// Decoding ahead of the filter and encoding behind it, each on a thread of its own: a reader
// and a writer with the interfaces of imagefiles/image_rows.h that pass bands of rows to and
// from the file's own reader and writer through short queues. The rows and their order are the
// same as without them, so the file's bytes are too; a read or write failure reaches the caller
// at the call that would have met it (a read) or at the next call after it (a write).
// Natively only: the Windows build's runtime has no standard threads, and there
// pipelinedReader and pipelinedWriter hand back the file's own.
#pragma once

#include <memory>

#include "imagefiles/image_rows.h"

// Takes `file` over; its description is the reader's.
std::unique_ptr<ImageRowReader> pipelinedReader(std::unique_ptr<ImageRowReader> file);
// Takes `file` over, for a picture of `rowBytes` bytes a row.
std::unique_ptr<ImageRowWriter> pipelinedWriter(std::unique_ptr<ImageRowWriter> file,
                                                size_t rowBytes);
