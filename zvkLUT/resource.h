// Resource identifiers of zvkLUT.ocx.
#pragma once

#define IDR_LUT 117
