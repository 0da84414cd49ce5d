#include "RgbSpaces.h"

namespace zvk {

namespace {

const NamedRgbSpace kSpaces[kNamedRgbSpaceCount] = {
    {1, "sRGB", 2.2, 0.64, 0.33, 0.3, 0.6, 0.15, 0.06, 0.3127, 0.329},
    {2, "Adobe RGB (1998)", 2.2, 0.64, 0.33, 0.21, 0.71, 0.15, 0.06, 0.3127, 0.329},
    {3, "Apple RGB", 1.8, 0.625, 0.34, 0.28, 0.595, 0.155, 0.07, 0.3127, 0.329},
    {4, "CIE RGB", 2.2, 0.735, 0.265, 0.274, 0.717, 0.167, 0.009, 0.3333, 0.3333},
    {5, "ColorMatch RGB", 1.8, 0.63, 0.34, 0.295, 0.605, 0.155, 0.077, 0.3457, 0.3585},
    {6, "NTSC (1953)", 2.2, 0.67, 0.33, 0.21, 0.71, 0.14, 0.08, 0.3101, 0.3162},
    {7, "EBU (PAL/SECAM)", 2.2, 0.64, 0.33, 0.29, 0.6, 0.15, 0.06, 0.3127, 0.329},
    {8, "SMPTE-C", 2.2, 0.63, 0.34, 0.31, 0.595, 0.155, 0.07, 0.3127, 0.329},
    {9, "Wide Gamut RGB", 2.2, 0.7347, 0.2653, 0.1152, 0.8264, 0.1566, 0.0177, 0.3457, 0.3585},
};

Vector3 Column(double x, double y) { return {x / y, 1.0, (1.0 - x - y) / y}; }

const Matrix3 kBradford{{{0.8951, 0.2664, -0.1614}, {-0.7502, 1.7135, 0.0367}, {0.0389, -0.0685, 1.0296}}};

}  // namespace

const NamedRgbSpace* FindNamedRgbSpace(int id) {
  return id >= 1 && id <= kNamedRgbSpaceCount ? &kSpaces[id - 1] : nullptr;
}

Matrix3 AdaptedRgbToXYZ(const NamedRgbSpace& s) {
  const Vector3 r = Column(s.xr, s.yr), g = Column(s.xg, s.yg), b = Column(s.xb, s.yb);
  const Matrix3 p{{{r[0], g[0], b[0]}, {r[1], g[1], b[1]}, {r[2], g[2], b[2]}}};
  const Vector3 white = Column(s.xw, s.yw);
  const Matrix3 m = Multiply(p, Diagonal(Multiply(Invert(p), white)));
  const Matrix3 scale = Diagonal(DivideElements(Multiply(kBradford, kD50), Multiply(kBradford, white)));
  return Multiply(Multiply(Multiply(Invert(kBradford), scale), kBradford), m);
}

ColourSpaceDescription RgbSpaceToXYZ(const NamedRgbSpace& space) {
  const Matrix3 m = AdaptedRgbToXYZ(space);
  ColourSpaceDescription d{};
  for (float& g : d.gamma) g = static_cast<float>(space.gamma);
  for (int column = 0; column < 3; ++column)
    for (int row = 0; row < 3; ++row) d.xyz[column * 3 + row] = static_cast<float>(m[row][column]);
  return d;
}

LOGCOLORSPACEA LogColourSpaceFromDescription(const ColourSpaceDescription& d, int intent) {
  LOGCOLORSPACEA lcs{};
  lcs.lcsSignature = LCS_SIGNATURE;
  lcs.lcsVersion = 0x400;
  lcs.lcsSize = sizeof(LOGCOLORSPACEA);
  lcs.lcsCSType = LCS_CALIBRATED_RGB;
  static const LCSGAMUTMATCH kIntents[] = {LCS_GM_IMAGES, LCS_GM_GRAPHICS, LCS_GM_BUSINESS,
                                           LCS_GM_ABS_COLORIMETRIC};
  lcs.lcsIntent = intent >= 0 && intent < 4 ? kIntents[intent] : LCS_GM_IMAGES;
  auto fx = [](float v) { return static_cast<FXPT2DOT30>(static_cast<double>(v) * (1 << 30)); };
  CIEXYZ* ends[] = {&lcs.lcsEndpoints.ciexyzRed, &lcs.lcsEndpoints.ciexyzGreen, &lcs.lcsEndpoints.ciexyzBlue};
  for (int i = 0; i < 3; ++i) {
    ends[i]->ciexyzX = fx(d.xyz[i * 3]);
    ends[i]->ciexyzY = fx(d.xyz[i * 3 + 1]);
    ends[i]->ciexyzZ = fx(d.xyz[i * 3 + 2]);
  }
  lcs.lcsGammaRed = static_cast<DWORD>(static_cast<double>(d.gamma[0]) * 65536.0);
  lcs.lcsGammaGreen = static_cast<DWORD>(static_cast<double>(d.gamma[1]) * 65536.0);
  lcs.lcsGammaBlue = static_cast<DWORD>(static_cast<double>(d.gamma[2]) * 65536.0);
  return lcs;
}

}  // namespace zvk
