#pragma once

namespace vx {

// Where the about box's links lead, and the name their messages sign with. Kept together so a
// move of the home page or the support address changes one file. The project has no public home
// yet: the addresses lie under a domain reserved for examples, which never reaches a stranger.
inline constexpr const char* kMakerName = "Tesmo";
inline constexpr const char* kHomePageUrl = "https://velmorax.example.org/";
inline constexpr const char* kSupportMailAddress = "support@velmorax.example.org";

} // namespace vx
