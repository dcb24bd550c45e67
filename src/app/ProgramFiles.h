#pragma once

#include "base/FileLocations.h"

namespace vx {

class Platform;

// Decides where the program's files live for this run and gets the per-user folders ready when
// it runs from an install: the folders made, and the moon table written for the system's
// present zone when it is missing or was written for another. Said on the error stream when
// something cannot be made; the program then goes on as with a missing file, or with the table
// beside the program when the user's own cannot be written.
FileLocations LocateProgramFiles(Platform& platform);

} // namespace vx
