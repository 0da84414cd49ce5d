// The constants that shape the colour model and its operations, in one place so that the keying
// benchmark can tune them. Distances are in linear light (a channel runs from 0 to 1).
#pragma once

namespace keyer {

struct KeyerTuning {
  // Smallest distance between the inner and the middle surface: the width of the softest edge.
  static constexpr double kMinimumGap = 0.01;
  // Inner surface of a fresh model where the screen's own noise is not yet known.
  static constexpr double kDefaultNoiseRadius = 0.02;
  // Share of the middle radius the fresh inner surface may take.
  static constexpr double kDefaultInnerShare = 0.25;
  // Outer (spill) surface of a fresh model, as a multiple of the middle one.
  static constexpr double kDefaultSpillReach = 1.6;
  // An operation moves a surface fully within this angle around a sampled colour's direction and
  // fades out towards the second angle (degrees); the first covers a whole cell of the grid.
  static constexpr double kKernelFlatDegrees = 8.0;
  static constexpr double kKernelFadeDegrees = 12.0;
  // A fresh middle surface lies, in each direction, where the screen channel's excess over the other
  // two has fallen to this share of the screen's own: a colour still that green is taken as subject
  // (spill-tinted hair, edges), not as a mix with the screen. A fifth keeps the ramp from screen to a grey
  // subject at four fifths of the way, so a soft edge's alpha rises at most 1.25 times as fast as its
  // share of subject and the screen's noise and compression artefacts are little amplified in the matte.
  static constexpr double kOpaqueExcessShare = 0.2;
  // A secondary colour (one other channel risen above the screen's by this share of the screen
  // channel's excess, the third not risen) is subject: yellow-green before a green screen. Such a subject
  // keeps much of the screen's excess, so this rule alone makes it opaque; a subject whose other channel
  // has risen by nine tenths of the excess is then opaque from under four fifths of the way to it, a margin
  // for its own shading and noise.
  static constexpr double kSecondaryRiseShare = 0.7;
  // Relative step of AdjustMatte, AdjustSpill and AdjustDetail per call.
  static constexpr double kAdjustStep = 0.05;
  // FineTune: a delta of 1 scales the surface by this factor around the colour, -1 by its inverse.
  static constexpr double kFineTuneFactor = 2.0;
  // AutoCompute: a pixel is screen-like when its screen-channel excess, relative to that channel,
  // reaches this share of the screen colour's own.
  static constexpr double kScreenLikeShare = 0.75;
  // AutoCompute: the inner surface reaches at most this many standard deviations of the Gaussian fitted to
  // the screen-like colours (as the keying pass balances them): 99.4 % of a Gaussian in three channels lies
  // within 3.5 (chi-square, three degrees of freedom), so few screen pixels key above zero even where the
  // screen's scatter has long tails (creases), while edges and strands of hair beyond it keep their cover.
  static constexpr double kScreenNoiseSigmas = 3.5;
  // ... but only as far as the screen's own colours need: the fewest deviations, from kScreenNoiseLeastSigmas
  // up in steps of kScreenNoiseSigmaStep, at which at most kScreenLeakShare of them (checked on about
  // kScreenLeakPixels) key above kScreenLeakAlpha. Where the scatter is sensor noise (an underexposed
  // screen) every deviation taken in swallows faint strands of hair whose mix lies that close to the
  // screen, so the surface stops once the screen is clean enough. kScreenLeakAlpha is where a speck of
  // screen starts to show over a new background (a tenth of the subject); kScreenLeakShare keeps such
  // specks to a few in a hundred screen pixels; one deviation takes in about two thirds of a Gaussian's
  // mass along any one direction, the least that still lets the leak check decide (on a clean screen the
  // check passes at the first step anyway, and on a noisy one it stops the surface at 2 to 3 deviations);
  // a step of an eighth moves the surface by less than the noise floor's code step on a clean screen and by
  // about 4 % of the reach on a noisy one.
  static constexpr double kScreenNoiseLeastSigmas = 1.0;
  static constexpr double kScreenNoiseSigmaStep = 0.125;
  static constexpr double kScreenLeakShare = 0.03;
  static constexpr double kScreenLeakAlpha = 0.1;
  // Where the pass smooths the alpha (a noisy screen), the check is of the smoothed alphas, and the surface
  // may stop once at most a twentieth of them lie above kScreenLeakAlpha: smoothed, such pixels pass a
  // tenth by little and in soft patches rather than as specks, while on such a screen each further step
  // swallows strands of hair whose mix lies within the noise.
  static constexpr double kSmoothedLeakShare = 0.05;
  static constexpr int kScreenLeakPixels = 1 << 15;
  // The least deviation the fit allows each channel (linear light): about one code step at a screen's
  // level, the scatter that 8-bit codes give even a noiseless screen.
  static constexpr double kScreenNoiseFloor = 0.002;
  // AutoCompute on a screen it does not find noisy (one the pass does not smooth) fits the inner surface
  // from this reach on rather than from kDefaultNoiseRadius, which guesses at noise it has now measured: a
  // hundredth of linear light is about two code steps at a screen's level, a clean screen's scatter, so the
  // fit and its leak check decide the rest. Strands and soft edges nearer the screen than the default keep
  // their cover (on the clean reference the band SAD fell from 3.18 to 2.89), at the price of a faint
  // residue of the screen's noise in alpha, about a hundredth on average (the reference's whole-image SAD
  // rose from 4.0 to 9.5, still well under the naive keyer's 16.9).
  static constexpr double kFittedInnerStart = 0.01;
  // AutoCompute reads at most about this many pixels, evenly spread.
  static constexpr int kAutoComputePixels = 1 << 19;
  // AutoCompute fits the screen to the map the keying pass measures with the model, which depends on the
  // pixels the model keys as screen: a first fit against the map of a fresh model (inner surface at the
  // screen's noise), a second against the map of the first fit, whose screen pixels the final model keeps.
  static constexpr int kAutoComputeRounds = 2;
  // Applying a state: the screen's brightness is mapped on a grid of this many cells across and down,
  // from about this many pixels evenly spread, counting those that key below this alpha (of 255) once
  // brought to the screen colour's brightness.
  static constexpr int kLightMapColumns = 32;
  static constexpr int kLightMapRows = 24;
  static constexpr int kLightMapPixels = 1 << 16;
  static constexpr int kLightMapScreenAlpha = 4;
  // The map balances each channel to the screen colour's, but holds the other channels within this many
  // levels (of 1/32 of a doubling) of the screen channel's: half a doubling (41 %), more than a screen's
  // hue drifts under one set of lamps, so a cell's larger departures are subject keyed as screen.
  static constexpr int kLightMapHueLevels = 16;
  // Departures of a channel below this many levels are not balanced: a level is a step of 2.2 %, and a
  // cell's median over noisy pixels is uncertain by about one, so a smaller departure is the estimate's
  // own error, which would move subject colours near the opaque surface (a yellow-green shirt before a
  // green screen) by a step in hue.
  static constexpr int kLightMapHueFloor = 3;
  // A cell's hue is read only where at least this share of its pixels key as screen: in a cell mostly of
  // subject the few pixels keyed as screen are largely edges, strands and subject colours near the
  // screen's, whose hue is not the screen's; such cells take their neighbours' hue.
  static constexpr double kLightMapHueShare = 0.5;
  // The keyed alpha is smoothed over each pixel's neighbours (see AlphaSmoothing) where the screen's
  // brightness scatters around its local light by more than this relative deviation (ScreenMap::Scatter).
  // A well-exposed screen scatters by 1 to 3 % (shot noise, 8-bit codes, compression), where smoothing
  // would only soften edges; shot noise relative to the signal grows by the square root of the light lost,
  // so a screen underexposed by two stops scatters by up to twice as much, and beyond this threshold a
  // screen's noise keys speck by speck into the matte and is better averaged than followed.
  static constexpr double kSmoothScreenScatter = 0.05;
  // Radius of the smoothing: two pixels, the discrete Gaussian of a deviation of one pixel, which cuts
  // independent noise in alpha to 0.273 of its deviation (the square root of the kernel's summed squared
  // weights, 70 / 256) while widening a soft edge's ramp by about a pixel. AutoCompute's inner surface of a
  // noisy screen then stops that much sooner, leaving faint strands of hair more cover: on the underexposed
  // scene the band SAD, Gradient and Connectivity came out lower than with a radius of one (0.375) for
  // every script, and three (0.226) blurs each strand by more than its extra cover gives back.
  static constexpr int kAlphaSmoothRadius = 2;
  // Smoothing keeps thin strands (see AlphaSmoothing) only where the smoothed alpha exceeds a tenth (of
  // 255): below it, the smoothed alpha is the screen's own noise as AutoCompute's leak check counts it, so
  // what the check allows stays as it counted. Along a line the mean of the screen's noise exceeds the
  // average over the square by chance; a margin of a twentieth keeps a flat patch (a veil, the screen) on
  // the average, while a strand's line stands out by far more. On the underexposed scene the Gradient with
  // Auto Compute came out at 3.15 with this margin, 3.17 with half of it (more noise kept) and 3.18 with
  // half as much again (less of the strands kept).
  static constexpr int kStrandLeastAlpha = 25;
  static constexpr int kStrandMargin = 13;
  // Creases and folds in the backing (see ScreenCreases) are looked for only where the screen map measures
  // brightness structure finer than its cells (ScreenMap::Structure) above this relative deviation: a screen
  // lit smoothly shows well under 1 % (the light changes by under a hundredth across a cell), JPEG blocks
  // about 1 %, while a creased backing whose folds shade the light by a quarter shows several per cent.
  static constexpr double kCreaseStructure = 0.025;
  // Pixels that far apart along a row make the pairs the structure is measured on: a crease darkens a band
  // a few pixels wide, so both of a pair lie in it, while sensor noise is independent from pixel to pixel.
  static constexpr int kCreaseStructureApart = 2;
  // The distance at which a pixel's neighbours on either side are read: a strand of hair (one or two
  // pixels, anti-aliased over a pixel on each side) lies wholly between them, while the narrowest crease's
  // dark side, several pixels wide, still shades them about as much as the pixel.
  static constexpr int kCreaseReach = 2;
  // AutoCompute on a creased screen fits the screen's scatter to the colours whose brightness lies within
  // this many of the map's deviations (ScreenMap::Scatter) of the local light: three take in 99.7 % of a
  // Gaussian's noise, and the creases' shading beyond is the crease test's to key.
  static constexpr double kCreaseFitDeviations = 3.0;
  // A pixel keys as screen at its own brightness below this alpha (of 255): a tenth, where a speck starts to
  // show over a new background.
  static constexpr int kCreaseScreenAlpha = 25;
  // A pixel darker than the mean of its two neighbours by more than this many levels (of 1/32 of a doubling)
  // is a dip, not a crease: six levels are 14 %, about how much the narrowest fold's dark side bends over
  // the reach at its darkest; a strand a fifth opaque darkens the screen by more.
  static constexpr int kCreaseDipLevels = 6;
};

}  // namespace keyer
