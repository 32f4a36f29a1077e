// The page zoom's steps, as browsers have them, from 50 to 300 %, and the remembered level as
// text ("zoom_level" in the settings file): whole percents in that range, anything else ignored.
#pragma once

#include <optional>
#include <string>

namespace corvane {

inline constexpr int kZoomDefault = 100;

// The next step above (below) `percent`; the highest (lowest) step stays.
int ZoomInStep(int percent);
int ZoomOutStep(int percent);

// A level from the settings file; nothing for text that is not a whole number from 50 to 300.
std::optional<int> ParseZoomLevel(const std::string& text);

}  // namespace corvane
