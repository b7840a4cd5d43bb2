// Screenshots as PNG from the Windows host, which links no PNG library: an 8-bit RGB raster
// written as a valid PNG whose image data is zlib "stored" blocks (no compression). Screenshots
// are small, so the size does not matter; any PNG reader reads them. The file is replaced
// atomically (imagefiles/file_bytes.h); the result says what went wrong.
#pragma once

#include <string>

#include "imagefiles/file_status.h"
#include "imagefiles/raster.h"

FileStatus writeSnapshotPng(const std::string& path, const Raster& rgb);
