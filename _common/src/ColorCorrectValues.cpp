#include "ColorCorrectValues.h"

namespace {

constexpr uint16_t SchemaWithoutSaturation = 0x0100;
constexpr uint16_t SchemaWithSaturation = 0x0200;

int32_t RoundHalfAwayFromZero(double value) {
  if (value != value) return 0;  // a damaged float (NaN) reads as no correction
  double rounded = value > 0 ? value + 0.5 : value - 0.5;
  if (rounded >= 2147483647.0) return INT32_MAX;
  if (rounded <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(rounded);
}

}  // namespace

float ColorCorrectValues::GetSaturationFactor() const { return FactorOf(saturation); }

float ColorCorrectValues::GainOf(double value) {
  return static_cast<float>(value >= 0 ? 1.0 + 0.05 * value : 1.0 + 0.0125 * value);
}

float ColorCorrectValues::FactorOf(double value) { return static_cast<float>(0.02 * value); }

int32_t ColorCorrectValues::ValueOfGain(float gain) {
  double g = gain;
  return RoundHalfAwayFromZero(g >= 1.0 ? 20.0 * (g - 1.0) : -80.0 * (1.0 - g));
}

int32_t ColorCorrectValues::ValueOfFactor(float factor) { return RoundHalfAwayFromZero(50.0 * factor); }

void WriteColorCorrectValues(zvk::Archive& archive, const ColorCorrectValues& values) {
  bool withSaturation = values.saturation != 0;
  zvk::WriteArchiveWord(archive, withSaturation ? SchemaWithSaturation : SchemaWithoutSaturation);
  zvk::WriteArchiveFloat(archive, ColorCorrectValues::GainOf(values.red));
  zvk::WriteArchiveFloat(archive, ColorCorrectValues::GainOf(values.green));
  zvk::WriteArchiveFloat(archive, ColorCorrectValues::GainOf(values.blue));
  zvk::WriteArchiveFloat(archive, ColorCorrectValues::GainOf(values.intensity));
  zvk::WriteArchiveFloat(archive, ColorCorrectValues::FactorOf(values.contrast));
  if (withSaturation) zvk::WriteArchiveFloat(archive, ColorCorrectValues::FactorOf(values.saturation));
}

void ReadColorCorrectValues(zvk::Archive& archive, ColorCorrectValues& values) {
  uint16_t schema;
  zvk::ReadArchiveWord(archive, schema);
  int major = schema >> 8;
  if (major != 1 && major != 2)
    throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, ColorCorrectValuesSourceFile,
                                ColorCorrectValuesSchemaLine);
  float red, green, blue, intensity, contrast, saturation = 0.0f;
  zvk::ReadArchiveDword(archive, red);
  zvk::ReadArchiveDword(archive, green);
  zvk::ReadArchiveDword(archive, blue);
  zvk::ReadArchiveDword(archive, intensity);
  zvk::ReadArchiveDword(archive, contrast);
  if (major == 2) zvk::ReadArchiveDword(archive, saturation);
  ColorCorrectValues read;
  read.red = ColorCorrectValues::ValueOfGain(red);
  read.green = ColorCorrectValues::ValueOfGain(green);
  read.blue = ColorCorrectValues::ValueOfGain(blue);
  read.intensity = ColorCorrectValues::ValueOfGain(intensity);
  read.contrast = ColorCorrectValues::ValueOfFactor(contrast);
  read.saturation = major == 2 ? ColorCorrectValues::ValueOfFactor(saturation) : 0;
  values = read;
}
