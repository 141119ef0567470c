// How well text in one console colour reads on another: the contrast ratio
// of their relative luminances, (lighter + 0.05) / (darker + 0.05), as the
// Web Content Accessibility Guidelines define it. Text needs at least 4.5:1.
// Terminals differ in their palettes, so the ratio is the lowest of three
// usual ones: the classic Windows console (light grey #C0C0C0), xterm
// (#E5E5E5) and Windows Terminal (#CCCCCC).
#pragma once

#include <algorithm>
#include <array>
#include <cmath>

namespace colour_contrast {

constexpr double readable = 4.5;

// By console colour index (1 blue, 4 red, 8 bright), as 0xRRGGBB.
using Palette = std::array<unsigned, 16>;
constexpr Palette classic_console = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
                                     0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
constexpr Palette xterm = {0x000000, 0x0000EE, 0x00CD00, 0x00CDCD, 0xCD0000, 0xCD00CD, 0xCDCD00, 0xE5E5E5,
                           0x7F7F7F, 0x5C5CFF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
constexpr Palette windows_terminal = {0x0C0C0C, 0x0037DA, 0x13A10E, 0x3A96DD, 0xC50F1F, 0x881798, 0xC19C00, 0xCCCCCC,
                                      0x767676, 0x3B78FF, 0x16C60C, 0x61D6D6, 0xE74856, 0xB4009E, 0xF9F1A5, 0xF2F2F2};

inline double luminance(unsigned rgb) {
  const auto linear = [](unsigned channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear((rgb >> 16) & 0xFF) + 0.7152 * linear((rgb >> 8) & 0xFF) + 0.0722 * linear(rgb & 0xFF);
}

inline double contrast(unsigned a, unsigned b) {
  const double la = luminance(a);
  const double lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The lowest contrast of foreground on background (console colour indices)
// over the three palettes; 0 for a colour that is no console colour (the
// terminal's default one, say).
inline double lowest_contrast(int foreground, int background) {
  if (foreground < 0 || foreground > 15 || background < 0 || background > 15) return 0.0;
  double lowest = 21.0;
  for (const Palette* palette : {&classic_console, &xterm, &windows_terminal}) {
    lowest = std::min(lowest, contrast((*palette)[static_cast<std::size_t>(foreground)],
                                       (*palette)[static_cast<std::size_t>(background)]));
  }
  return lowest;
}

}  // namespace colour_contrast
