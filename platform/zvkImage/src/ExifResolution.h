// The resolution a JPEG file's EXIF segment gives (XResolution, YResolution and ResolutionUnit of the first
// directory), for files without a JFIF density in inches or centimetres.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zvkImage {

// exif: the APP1 payload ("Exif\0\0" and the TIFF structure). False when there is no usable resolution.
// Every offset is checked against size.
bool ExifResolution(const uint8_t* exif, size_t size, double& dpiX, double& dpiY);

}  // namespace zvkImage
