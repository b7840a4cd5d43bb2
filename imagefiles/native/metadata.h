// EXIF, IPTC and XMP of JPEG, TIFF and PNG files, through Exiv2.
//
// readFileMetadata picks up what a whole file in memory carries besides its pixels (the codec
// has already read pixels, resolution and profile) into raster.metadata: the EXIF block without
// the tags that describe the stored image's layout (which belong to the file being written, not
// the picture), the IPTC records, the XMP packet and the orientation. When the codec found no
// resolution (a JPEG without a JFIF density, say), the EXIF resolution becomes the raster's.
// Metadata Exiv2 cannot make sense of is left out: the picture still loads.
//
// writeFileMetadata embeds raster.metadata into a file the codec has just encoded, made true to
// the raster: EXIF pixel dimensions and resolution say what the pixels and the file's own
// resolution field say, and the EXIF thumbnail is dropped rather than left showing the picture
// before it was sharpened. Nothing is added that the input did not carry.
#pragma once

#include "imagefiles/file_bytes.h"
#include "imagefiles/raster.h"

#include <string>

void readFileMetadata(const Bytes& file, Raster& raster);
// The same, read from the file at `path` without loading it whole.
void readFileMetadata(const std::string& path, Raster& raster);
FileStatus writeFileMetadata(const Raster& raster, Bytes& file);
// writeFileMetadata, then writeFileAtomically of the result to `path`, without a copy of the
// whole file in between; `file` is emptied.
FileStatus saveWithMetadata(const Raster& raster, Bytes& file, const std::string& path);
