// Who made the tool and which version it is, as the dialog and the About
// box name them.
#pragma once

namespace tavrin {

inline constexpr const char* kProductName = "Tavrin Config Tools";
inline constexpr const char* kMakerName = "Belmora Electronics Co.,LTD";
// The project's version, set by the build.
inline constexpr const char* kProductVersion = TAVRIN_VERSION;

}  // namespace tavrin
