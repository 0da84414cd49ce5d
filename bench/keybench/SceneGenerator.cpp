#include "SceneGenerator.h"

#include "PlaneFilters.h"
#include "SeededRandom.h"
#include "SrgbTransfer.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace keybench {

namespace {

constexpr double kPi = 3.141592653589793;

struct Rgb {
  float r, g, b;
};

// Linear-light colours of the subject and the studio.
constexpr Rgb kShirt{0.30f, 0.07f, 0.07f};
constexpr Rgb kSkin{0.55f, 0.32f, 0.22f};
constexpr Rgb kHair{0.06f, 0.035f, 0.02f};
constexpr Rgb kBadge{0.42f, 0.62f, 0.04f};  // yellow-green: contains the screen's primary
constexpr Rgb kVeil{0.80f, 0.78f, 0.74f};
constexpr Rgb kGreenScreen{0.07f, 0.42f, 0.10f};
constexpr Rgb kBlueScreen{0.05f, 0.13f, 0.50f};
constexpr Rgb kWall{0.05f, 0.05f, 0.055f};
constexpr Rgb kLampBody{0.12f, 0.12f, 0.13f};
constexpr Rgb kLampDiffuser{0.85f, 0.83f, 0.75f};
constexpr Rgb kPole{0.025f, 0.025f, 0.025f};
constexpr Rgb kPaleHair{0.78f, 0.70f, 0.52f};  // blond, lit from behind
constexpr Rgb kPlant{0.07f, 0.12f, 0.035f};    // dark olive stems and leaves

constexpr std::uint64_t kStudioSeed = 0x57D10ull;  // mixed into the seed for the studio's faults
constexpr float kShadowDepth = 0.5f;               // the shadow takes half the screen's light
constexpr float kCreaseAmount = 0.35f;             // a crease's light and dark sides, of the light
constexpr float kHotSpotGain = 0.9f;               // the hot spot's peak, of the light

constexpr int kHairStrands = 260;
constexpr float kVeilAlpha = 0.45f;
constexpr float kTextureAmount = 0.03f;
constexpr float kSpillStrength = 0.35f;
constexpr double kSpillReach = 12.0;  // pixels at 768 rows

// The portrait's shapes, in pixels, scaled from a design at 768 rows and centred horizontally.
struct Geometry {
  double s, cx;
  double headCy, headRx, headRy;
  double neckHalf, neckTop, neckBottom;
  double torsoCy, torsoRx, torsoRy;
  double veilCx, veilCy, veilRx, veilRy, veilCos, veilSin;
  double badgeLeft, badgeRight, badgeTop, badgeBottom;
  double stripLeft;  // where the screen ends in the lamp-stand scene
  Rgb shirt = kShirt;

  Geometry(int width, int height, bool veilOverScreen = false) {
    s = height / 768.0;
    cx = width / 2.0;
    headCy = 250 * s, headRx = 85 * s, headRy = 110 * s;
    neckHalf = 40 * s, neckTop = 320 * s, neckBottom = 440 * s;
    torsoCy = 840 * s, torsoRx = 330 * s, torsoRy = 420 * s;
    veilCx = cx - (veilOverScreen ? 330 : 110) * s, veilCy = 420 * s, veilRx = 40 * s, veilRy = 185 * s;
    const double tilt = 9.5 * kPi / 180.0;
    veilCos = std::cos(tilt), veilSin = std::sin(tilt);
    badgeLeft = cx + 90 * s, badgeRight = cx + 150 * s, badgeTop = 520 * s, badgeBottom = 560 * s;
    stripLeft = width - 72 * s;
  }

  double HeadRadius(double x, double y) const {
    const double u = (x - cx) / headRx, v = (y - headCy) / headRy;
    return std::sqrt(u * u + v * v);
  }
  bool InNeck(double x, double y) const {
    return std::fabs(x - cx) <= neckHalf && y >= neckTop && y <= neckBottom;
  }
  bool InTorso(double x, double y) const {
    const double u = (x - cx) / torsoRx, v = (y - torsoCy) / torsoRy;
    return u * u + v * v <= 1.0;
  }
  bool InSilhouette(double x, double y) const {
    return HeadRadius(x, y) <= 1.0 || InNeck(x, y) || InTorso(x, y);
  }
  bool InVeil(double x, double y) const {
    const double dx = x - veilCx, dy = y - veilCy;
    const double u = (dx * veilCos - dy * veilSin) / veilRx, v = (dx * veilSin + dy * veilCos) / veilRy;
    return u * u + v * v <= 1.0;
  }
  // Untextured colour of the body layer; defined past the silhouette so that its soft edge has a colour.
  Rgb BodyColour(double x, double y) const {
    if (InNeck(x, y)) return kSkin;
    if (HeadRadius(x, y) <= 1.15 && y < neckTop + 10 * s) {
      // The hairline curves down towards the ears.
      const double u = (x - cx) / headRx, v = (y - headCy) / headRy;
      return v < -0.35 + 0.5 * u * u ? kHair : kSkin;
    }
    if (x >= badgeLeft && x < badgeRight && y >= badgeTop && y < badgeBottom) return kBadge;
    return shirt;
  }
};

void SnapEnds(FloatImage& plane) {
  for (float& v : plane.Samples()) {
    if (v < 1e-6f) v = 0.0f;
    if (v > 1.0f - 1e-6f) v = 1.0f;
  }
}

FloatImage BlurredShape(int w, int h, double sigma, const std::function<bool(double, double)>& inside) {
  FloatImage hard(w, h, 1);
  for (int y = 0; y < h; ++y) {
    float* row = hard.Row(y);
    for (int x = 0; x < w; ++x) row[x] = inside(x + 0.5, y + 0.5) ? 1.0f : 0.0f;
  }
  FloatImage soft = PlaneFilters::GaussianBlur(hard, sigma);
  SnapEnds(soft);
  return soft;
}

// Draws one strand, a polyline of the given width and coverage, "over" alpha; each pixel takes the
// largest coverage of any of its segments (no double counting at joints).
void DrawStrand(FloatImage& alpha, const std::vector<double>& px, const std::vector<double>& py, double width,
                float coverage, std::vector<float>& local) {
  const int w = alpha.Width(), h = alpha.Height();
  const double reach = width / 2 + 1.0;
  const int x0 = std::max(0, static_cast<int>(std::floor(*std::min_element(px.begin(), px.end()) - reach)));
  const int x1 =
      std::min(w - 1, static_cast<int>(std::ceil(*std::max_element(px.begin(), px.end()) + reach)));
  const int y0 = std::max(0, static_cast<int>(std::floor(*std::min_element(py.begin(), py.end()) - reach)));
  const int y1 =
      std::min(h - 1, static_cast<int>(std::ceil(*std::max_element(py.begin(), py.end()) + reach)));
  if (x1 < x0 || y1 < y0) return;
  const int lw = x1 - x0 + 1;
  local.assign(static_cast<size_t>(lw) * (y1 - y0 + 1), 0.0f);
  for (size_t i = 0; i + 1 < px.size(); ++i) {
    const double ax = px[i], ay = py[i], bx = px[i + 1], by = py[i + 1];
    const double dx = bx - ax, dy = by - ay, len2 = std::max(1e-12, dx * dx + dy * dy);
    const int sx0 = std::max(x0, static_cast<int>(std::floor(std::min(ax, bx) - reach)));
    const int sx1 = std::min(x1, static_cast<int>(std::ceil(std::max(ax, bx) + reach)));
    const int sy0 = std::max(y0, static_cast<int>(std::floor(std::min(ay, by) - reach)));
    const int sy1 = std::min(y1, static_cast<int>(std::ceil(std::max(ay, by) + reach)));
    for (int y = sy0; y <= sy1; ++y) {
      float* row = local.data() + static_cast<size_t>(y - y0) * lw - x0;
      for (int x = sx0; x <= sx1; ++x) {
        const double qx = x + 0.5 - ax, qy = y + 0.5 - ay;
        const double t = std::clamp((qx * dx + qy * dy) / len2, 0.0, 1.0);
        const double ex = qx - t * dx, ey = qy - t * dy;
        const double dist = std::sqrt(ex * ex + ey * ey);
        const float c = coverage * static_cast<float>(std::clamp(width / 2 + 0.5 - dist, 0.0, 1.0));
        row[x] = std::max(row[x], c);
      }
    }
  }
  for (int y = y0; y <= y1; ++y) {
    float* out = alpha.Row(y);
    const float* in = local.data() + static_cast<size_t>(y - y0) * lw;
    for (int x = x0; x <= x1; ++x) out[x] = 1.0f - (1.0f - out[x]) * (1.0f - in[x - x0]);
  }
}

// A bending path from (x, y), starting at angle phi, of the given length in steps of about 1.5 pixels.
void BendingPath(double x, double y, double phi, double length, double curvature, double s,
                 std::vector<double>& px, std::vector<double>& py) {
  const int steps = std::max(2, static_cast<int>(std::ceil(length / (1.5 * s))));
  const double step = length / steps;
  px.assign(1, x);
  py.assign(1, y);
  for (int i = 0; i < steps; ++i) {
    phi += curvature * step;
    px.push_back(px.back() + step * std::cos(phi));
    py.push_back(py.back() + step * std::sin(phi));
  }
}

// About 260 thin strands rooted along the upper half of the head, each of partial coverage.
FloatImage HairStrands(const Geometry& g, int w, int h, SeededRandom& random) {
  FloatImage alpha(w, h, 1);
  std::vector<float> local;
  std::vector<double> px, py;
  for (int k = 0; k < kHairStrands; ++k) {
    const double theta = random.Uniform(-170.0, -10.0) * kPi / 180.0;
    const double nx = std::cos(theta) / g.headRx, ny = std::sin(theta) / g.headRy;
    const double phi = std::atan2(ny, nx) + 0.35 * random.Normal();
    const double length = random.Uniform(18.0, 70.0) * g.s;
    const double curvature = random.Uniform(-0.025, 0.025) / g.s;
    const double width = random.Uniform(0.6, 1.3) * g.s;
    const float coverage = static_cast<float>(random.Uniform(0.25, 0.8));
    BendingPath(g.cx + 0.96 * g.headRx * std::cos(theta), g.headCy + 0.96 * g.headRy * std::sin(theta), phi,
                length, curvature, g.s, px, py);
    DrawStrand(alpha, px, py, width, coverage, local);
  }
  SnapEnds(alpha);
  return alpha;
}

// A plant beside the subject, rooted below the frame: stems of one to two pixels that branch, and small
// leaves, all opaque.
FloatImage Plant(const Geometry& g, int w, int h, SeededRandom& random) {
  FloatImage alpha(w, h, 1);
  std::vector<float> local;
  std::vector<double> px, py, lx, ly;
  const double rootX = g.cx + 400 * g.s;
  for (int k = 0; k < 16; ++k) {
    const double phi = -kPi / 2 + random.Uniform(-0.45, 0.45);
    const double length = random.Uniform(150.0, 380.0) * g.s;
    BendingPath(rootX + random.Uniform(-20.0, 20.0) * g.s, h + 2.0, phi, length,
                random.Uniform(-0.004, 0.004) / g.s, g.s, px, py);
    DrawStrand(alpha, px, py, random.Uniform(1.0, 2.0) * g.s, 1.0f, local);
    // Leaves every so often along the stem, on alternating sides.
    for (size_t i = 12; i < px.size(); i += 18) {
      const double side = (i / 18) % 2 ? 1.0 : -1.0;
      const double angle = std::atan2(py[i] - py[i - 1], px[i] - px[i - 1]) + side * random.Uniform(0.6, 1.1);
      BendingPath(px[i], py[i], angle, random.Uniform(8.0, 16.0) * g.s, 0.0, g.s, lx, ly);
      DrawStrand(alpha, lx, ly, random.Uniform(3.0, 5.0) * g.s, 1.0f, local);
    }
  }
  SnapEnds(alpha);
  return alpha;
}

// Multiplies the screen's light by the studio's faults the scene asks for (1 where there are none).
FloatImage ScreenShade(const SceneSpec& spec, const Geometry& g, int w, int h) {
  FloatImage shade(w, h, 1);
  std::fill(shade.Samples().begin(), shade.Samples().end(), 1.0f);
  SeededRandom random(spec.seed ^ kStudioSeed);
  if (spec.castShadow) {
    // The key light from the upper left throws the subject's soft shadow down and to the right.
    const double dx = 110 * g.s, dy = 40 * g.s;
    const FloatImage shadow =
        BlurredShape(w, h, 18 * g.s, [&](double x, double y) { return g.InSilhouette(x - dx, y - dy); });
    for (size_t i = 0; i < shade.PixelCount(); ++i)
      shade.Samples()[i] *= 1.0f - kShadowDepth * shadow.Samples()[i];
  }
  if (spec.creases) {
    // Straight creases across the backing, each a light side against a dark one a few pixels wide.
    for (int k = 0; k < 9; ++k) {
      const double angle = random.Uniform(0.0, kPi), cx = random.Uniform(0.0, w), cy = random.Uniform(0.0, h);
      const double nx = -std::sin(angle), ny = std::cos(angle), width = random.Uniform(4.0, 14.0) * g.s;
      const double amount = kCreaseAmount * random.Uniform(0.5, 1.0);
      for (int y = 0; y < h; ++y) {
        float* row = shade.Row(y);
        for (int x = 0; x < w; ++x) {
          const double d = ((x + 0.5 - cx) * nx + (y + 0.5 - cy) * ny) / width;
          if (std::fabs(d) < 4.0) row[x] *= static_cast<float>(1.0 + amount * 1.65 * d * std::exp(-d * d));
        }
      }
    }
  }
  if (spec.hotSpot) {
    const double sx = g.cx - 50 * g.s, sy = g.headCy - 140 * g.s, r = 110 * g.s;
    for (int y = 0; y < h; ++y) {
      float* row = shade.Row(y);
      for (int x = 0; x < w; ++x) {
        const double ddx = x + 0.5 - sx, ddy = y + 0.5 - sy;
        row[x] *= static_cast<float>(1.0 + kHotSpotGain * std::exp(-(ddx * ddx + ddy * ddy) / (2 * r * r)));
      }
    }
  }
  return shade;
}

// A smooth field of zero mean and largest magnitude 1: a tilt, three broad hot or cold spots and a vignette.
FloatImage LightField(int w, int h, SeededRandom& random) {
  const double tiltX = random.Uniform(-1.0, 1.0), tiltY = random.Uniform(-1.0, 1.0);
  struct Spot {
    double x, y, r, amplitude;
  } spots[3];
  for (Spot& spot : spots)
    spot = {random.Uniform(0.0, w), random.Uniform(0.0, h), random.Uniform(0.2, 0.5) * h,
            random.Uniform(-1.0, 1.0)};
  FloatImage field(w, h, 1);
  double sum = 0.0;
  for (int y = 0; y < h; ++y) {
    float* row = field.Row(y);
    for (int x = 0; x < w; ++x) {
      const double u = (x + 0.5) / w - 0.5, v = (y + 0.5) / h - 0.5;
      double f = tiltX * u + tiltY * v -
                 0.8 * ((x - w / 2.0) * (x - w / 2.0) + (y - h / 2.0) * (y - h / 2.0)) / (double(h) * h);
      for (const Spot& spot : spots) {
        const double dx = x - spot.x, dy = y - spot.y;
        f += spot.amplitude * std::exp(-(dx * dx + dy * dy) / (2 * spot.r * spot.r));
      }
      row[x] = static_cast<float>(f);
      sum += f;
    }
  }
  const float mean = static_cast<float>(sum / field.PixelCount());
  float largest = 0.0f;
  for (float& f : field.Samples()) {
    f -= mean;
    largest = std::max(largest, std::fabs(f));
  }
  if (largest > 0.0f)
    for (float& f : field.Samples()) f /= largest;
  return field;
}

// Fine texture: blurred white noise of unit spread.
FloatImage TextureField(int w, int h, SeededRandom& random) {
  FloatImage noise(w, h, 1);
  for (float& v : noise.Samples()) v = static_cast<float>(random.Normal());
  FloatImage smooth = PlaneFilters::GaussianBlur(noise, 1.5);
  double sum2 = 0.0;
  for (float v : smooth.Samples()) sum2 += double(v) * v;
  const float scale = static_cast<float>(1.0 / std::sqrt(std::max(1e-12, sum2 / smooth.PixelCount())));
  for (float& v : smooth.Samples()) v *= scale;
  return smooth;
}

// What lies behind the subject in the lamp-stand scene's strip beyond the screen.
Rgb Studio(const Geometry& g, int w, int h, double x, double y) {
  const double s = g.s;
  if (x >= w - 56 * s && x < w - 14 * s && y >= 150 * s && y < 172 * s) return kLampDiffuser;
  if (x >= w - 62 * s && x < w - 8 * s && y >= 118 * s && y < 176 * s) return kLampBody;
  if (x >= w - 38 * s && x < w - 30 * s && y >= 176 * s) return kPole;
  const float shade = static_cast<float>(0.8 + 0.4 * y / h);
  return {kWall.r * shade, kWall.g * shade, kWall.b * shade};
}

PixelRect Rect(double left, double top, double width, double height) {
  const int l = static_cast<int>(std::lround(left)), t = static_cast<int>(std::lround(top));
  return {l, t, l + std::max(1, static_cast<int>(std::lround(width))),
          t + std::max(1, static_cast<int>(std::lround(height)))};
}

bool AllSet(const PixelMask& mask, int w, const PixelRect& r) {
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (!mask[static_cast<size_t>(y) * w + x]) return false;
  return true;
}

SceneLandmarks FindLandmarks(const Geometry& g, const SceneSpec& spec, const FloatImage& light,
                             const FloatImage& shade, const PixelMask& screenPixels) {
  const double s = g.s;
  const int w = spec.width, h = spec.height;
  SceneLandmarks marks;
  marks.screenPatch = Rect(120 * s, 100 * s, 48 * s, 48 * s);
  marks.shirt = Rect(g.cx + 60 * s, 620 * s, 60 * s, 60 * s);
  marks.skin = Rect(g.cx + 35 * s, 280 * s, 20 * s, 20 * s);
  const double size = 40 * s, inset = 10 * s;
  const PixelRect corners[4] = {Rect(inset, inset, size, size), Rect(w - inset - size, inset, size, size),
                                Rect(inset, h - inset - size, size, size),
                                Rect(w - inset - size, h - inset - size, size, size)};
  // The darkest as the camera sees it: the studio's faults (a crease, a shadow) darken a corner too.
  double darkest = 1e30;
  for (const PixelRect& corner : corners) {
    if (!AllSet(screenPixels, w, corner)) continue;
    double sum = 0.0;
    for (int y = corner.top; y < corner.bottom; ++y)
      for (int x = corner.left; x < corner.right; ++x)
        sum += (1.0 + spec.screenUnevenness * light.At(x, y)) * shade.At(x, y);
    if (sum < darkest) {
      darkest = sum;
      marks.darkCorner = corner;
    }
  }
  if (spec.lampStand)
    marks.garbage =
        AreaRecord{AreaRecord::Rectangle,
                   static_cast<std::int32_t>(std::floor((g.stripLeft - 8 * s) * 1000.0 / w)), 0, 1000, 1000};
  return marks;
}

}  // namespace

Scene SceneGenerator::Generate(const SceneSpec& spec, const CodecRoundTrip& roundTrip) {
  if (spec.width < 64 || spec.height < 48) throw std::invalid_argument("scene too small");
  if (spec.jpegRoundTrip && !roundTrip)
    throw std::invalid_argument("scene \"" + spec.name + "\" needs an image codec");
  const int w = spec.width, h = spec.height;
  Geometry g(w, h, spec.veilOverScreen);
  if (spec.shirt) g.shirt = {(*spec.shirt)[0], (*spec.shirt)[1], (*spec.shirt)[2]};
  SeededRandom random(spec.seed);

  // Layers: body and head, the veil over them, the hair strands over everything.
  const FloatImage body =
      BlurredShape(w, h, 1.2 * g.s, [&](double x, double y) { return g.InSilhouette(x, y); });
  FloatImage veil = BlurredShape(w, h, 1.5 * g.s, [&](double x, double y) { return g.InVeil(x, y); });
  for (float& v : veil.Samples()) v *= kVeilAlpha;
  const FloatImage hair = HairStrands(g, w, h, random);
  const FloatImage light = LightField(w, h, random);
  const FloatImage texture = TextureField(w, h, random);
  const FloatImage shade = ScreenShade(spec, g, w, h);
  FloatImage plant;
  if (spec.plant) {
    SeededRandom plantRandom(spec.seed ^ kStudioSeed ^ 0x9A47ull);
    plant = Plant(g, w, h, plantRandom);
  }
  const Rgb hairTone = spec.paleHair ? kPaleHair : kHair;

  // Spill fades with the distance from the hard silhouette's edge; whatever lies outside it gets it whole.
  PixelMask outside(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) outside[static_cast<size_t>(y) * w + x] = !g.InSilhouette(x + 0.5, y + 0.5);
  const FloatImage edgeDistance2 = PlaneFilters::SquaredDistanceToSeeds(outside, w, h);
  const double reach = kSpillReach * g.s;

  const Rgb screen = spec.screen == ScreenColour::Green ? kGreenScreen : kBlueScreen;
  Scene scene;
  scene.spec = spec;
  scene.composite = ByteImage(w, h, 3);
  scene.trueAlpha = FloatImage(w, h, 1);
  scene.trueForeground = FloatImage(w, h, 3);
  scene.screenPixels.assign(static_cast<size_t>(w) * h, 0);

  for (int y = 0; y < h; ++y) {
    unsigned char* out = scene.composite.Row(y);
    float* alphaOut = scene.trueAlpha.Row(y);
    float* fgOut = scene.trueForeground.Row(y);
    for (int x = 0; x < w; ++x) {
      const size_t i = static_cast<size_t>(y) * w + x;
      const double cx = x + 0.5, cy = y + 0.5;
      const float tex = 1.0f + kTextureAmount * texture.Samples()[i];
      const Rgb bodyColour = g.BodyColour(cx, cy);
      const float ab = body.Samples()[i], av = veil.Samples()[i], ah = hair.Samples()[i];
      // Premultiplied "over", back to front.
      float alpha = ab;
      float p[3] = {ab * bodyColour.r * tex, ab * bodyColour.g * tex, ab * bodyColour.b * tex};
      const float veilColour[3] = {kVeil.r * tex, kVeil.g * tex, kVeil.b * tex};
      const float hairColour[3] = {hairTone.r * tex, hairTone.g * tex, hairTone.b * tex};
      for (int c = 0; c < 3; ++c) p[c] = av * veilColour[c] + (1 - av) * p[c];
      alpha = av + (1 - av) * alpha;
      for (int c = 0; c < 3; ++c) p[c] = ah * hairColour[c] + (1 - ah) * p[c];
      alpha = ah + (1 - ah) * alpha;
      if (spec.plant) {
        const float ap = plant.Samples()[i];
        const float plantColour[3] = {kPlant.r * tex, kPlant.g * tex, kPlant.b * tex};
        for (int c = 0; c < 3; ++c) p[c] = ap * plantColour[c] + (1 - ap) * p[c];
        alpha = ap + (1 - ap) * alpha;
      }
      if (alpha < 1e-6f) alpha = 0.0f;
      if (alpha > 1.0f - 1e-6f) alpha = 1.0f;

      const float lit =
          spec.screenBrightness * (1.0f + spec.screenUnevenness * light.Samples()[i]) * shade.Samples()[i];
      const float screenColour[3] = {screen.r * lit, screen.g * lit, screen.b * lit};
      float onScreen = 1.0f;
      float back[3] = {screenColour[0], screenColour[1], screenColour[2]};
      if (spec.lampStand) {
        onScreen = static_cast<float>(std::clamp((g.stripLeft - cx) / (1.5 * g.s) + 0.5, 0.0, 1.0));
        if (onScreen < 1.0f) {
          const Rgb studio = Studio(g, w, h, cx, cy);
          const float studioColour[3] = {studio.r, studio.g, studio.b};
          for (int c = 0; c < 3; ++c) back[c] = onScreen * back[c] + (1 - onScreen) * studioColour[c];
        }
      }

      const double d = std::sqrt(static_cast<double>(edgeDistance2.Samples()[i]));
      const float spill =
          d < reach ? kSpillStrength * static_cast<float>((1 - d / reach) * (1 - d / reach)) : 0.0f;
      alphaOut[x] = alpha;
      for (int c = 0; c < 3; ++c) {
        const float truth = alpha > 0.0f ? std::min(1.0f, p[c] / alpha) : 0.0f;
        const float spilled = std::min(1.0f, truth + spill * screenColour[c]);
        const float mixed = spec.exposure * (alpha * spilled + (1 - alpha) * back[c]);
        const float sigma =
            spec.noiseGain * static_cast<float>(std::sqrt(1.5e-4 * std::max(0.0f, mixed) + 4e-6));
        out[x * 3 + c] = SrgbTransfer::EncodeByte(mixed + sigma * static_cast<float>(random.Normal()));
        // The camera sees the subject at the exposure; that is the colour a keyer can give back.
        fgOut[x * 3 + c] =
            alpha > 0.0f ? std::clamp(SrgbTransfer::ToEncoded(spec.exposure * truth), 0.0f, 1.0f) : 0.0f;
      }
      scene.screenPixels[i] = alpha == 0.0f && onScreen >= 1.0f;
    }
  }
  if (spec.jpegRoundTrip) {
    ByteImage decoded = roundTrip(scene.composite);
    if (decoded.Width() != w || decoded.Height() != h || decoded.Channels() != 3)
      throw std::runtime_error("the codec round trip changed the composite's size");
    scene.composite = std::move(decoded);
  }
  scene.landmarks = FindLandmarks(g, spec, light, shade, scene.screenPixels);
  return scene;
}

}  // namespace keybench
