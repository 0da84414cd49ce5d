// Frames and mappings: where a picture lands on a device context, and the crop geometry that a picture and
// the program's cropping share so that both cut the same pixels. The frame arithmetic (MapInto,
// BoundingFrame, ToRect, Mapping::Set) belongs to the program's output rendering, which defines it; the
// library only reads the records.
//
// A frame is measured in units: 0 and 1 are plain units that are never converted, 2 fractions of the
// parent frame, 3 inches, 4 millimetres, 5 twips. Angles are fractions of a full turn.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <stdexcept>

namespace zvkImage {

enum FrameUnits : int32_t {
  fuPlain0 = 0,
  fuPlain1 = 1,
  fuParent = 2,
  fuInch = 3,
  fuMillimetre = 4,
  fuTwip = 5,
};

class IllegalParentFrameUnits : public std::exception {
 public:
  const char* what() const noexcept override { return "Illegal parent frame units"; }
};

class IllegalMappingParameter : public std::exception {
 public:
  const char* what() const noexcept override { return "Illegal mapping parameter"; }
};

// The size of a picture as the picture reports it (IPictureFrame slot 4).
struct PictureSize {
  int32_t units = fuPlain0;
  int32_t padding = 0;
  double width = 0.0;
  double height = 0.0;
  double reserved = 0.0;
};

struct Frame {
  int32_t units = fuPlain1;
  int32_t padding = 0;
  double centreX = 0.0;
  double centreY = 0.0;
  double width = 1.0;
  double height = 1.0;
  double angle = 0.0;

  // The child scaled uniformly to fit into the parent, on the parent's centre, with the parent's units
  // and angle. Throws IllegalParentFrameUnits for a parent measured in fractions of its own parent.
  static Frame MapInto(const Frame& parent, const PictureSize& child);
  // The upright frame that holds this one turned by its angle (same units and centre).
  Frame BoundingFrame() const;
  // The pixel rectangle, each side rounded half away from zero and then corrected by one pixel so that
  // the rectangle keeps the frame's rounded width and height.
  RECT ToRect() const;
};

struct Anchor {
  int32_t units = fuPlain1;
  int32_t padding = 0;
  double x = 0.0;
  double y = 0.0;
  double reserved = 0.0;
};

#pragma pack(push, 2)
// Handed to a picture's draw: the device rectangle, the frame, the anchors that tie a point of the
// picture (source, in its units) to a device point (destination, pixels), the picture units per device
// pixel (scale) and the clip rectangle.
struct Mapping {
  RECT device;
  Frame frame;
  Anchor source;
  Anchor destination;
  Anchor scale;
  uint8_t reserved[24];
  RECT clip;
  int16_t reserved2;

  Mapping(const RECT& deviceRect, const RECT& clipRect)
      : device(deviceRect), reserved{}, clip(clipRect), reserved2(0) {
    destination.units = fuPlain0;
    scale.units = fuPlain0;
    scale.x = 1.0;
    scale.y = 1.0;
  }
  // Maps the upright frame onto the target rectangle; throws IllegalMappingParameter for a turned frame.
  void Set(const Frame& frame, const RECT& target);
};
#pragma pack(pop)

static_assert(sizeof(Frame) == 48);
static_assert(offsetof(Frame, centreX) == 8 && offsetof(Frame, angle) == 40);
static_assert(sizeof(PictureSize) == 32);
static_assert(sizeof(Mapping) == 202);
static_assert(offsetof(Mapping, frame) == 16 && offsetof(Mapping, source) == 64);
static_assert(offsetof(Mapping, destination) == 96 && offsetof(Mapping, scale) == 128);
static_assert(offsetof(Mapping, reserved) == 160 && offsetof(Mapping, clip) == 184);
static_assert(offsetof(Mapping, reserved2) == 200);

// The crop of a picture of width x height: offsets in fractions of its size (positive moves the picture
// right and down), a zoom (below 1 shows it smaller, on white), and an optional fixed ratio. The result is
// the rectangle, in source pixels, that the cropped picture shows; it may reach beyond the source. Empty
// when the picture or the crop is.
struct CropGeometry {
  double x = 0.0;
  double y = 0.0;
  double zoom = 1.0;
  bool fixedRatio = false;
  uint32_t ratioWidth = 1;
  uint32_t ratioHeight = 1;
};
// The visible part r (before the ratio), in the crop's own coordinates, and the rectangle d of the whole
// source that r maps onto; both for a picture of width x height. False when r is empty.
bool CropRectangles(long width, long height, const CropGeometry& crop, RECT& r, RECT& d);
// The largest box of ratio w:h inside the rectangle, centred (the whole rectangle when w or h is 0).
RECT FitRatio(const RECT& into, long w, long h);
// d with the fixed ratio applied: what Extract cuts out of the source.
bool CropCut(long width, long height, const CropGeometry& crop, RECT& cut);
// The size a cut of cutWidth x cutHeight source pixels is returned at: as it is, or shrunk uniformly to
// hold no more pixels than the source's width x height.
SIZE CutSize(long cutWidth, long cutHeight, long width, long height);

}  // namespace zvkImage
